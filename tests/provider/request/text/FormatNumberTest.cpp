// What format-number() writes beyond the table that the transform's test
// compares with xsltproc: numbers past the exact doubles, many fraction
// digits, other digits than ASCII's, overflow by a percent sign.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "provider/request/text/FormatNumber.h"

namespace qrv::cim {
namespace {

std::u16string formatted(double value, const std::u16string& text, const DecimalSymbols& symbols = {}) {
  std::string error;
  const std::optional<NumberPattern> pattern = parseNumberPattern(text, symbols, error);
  EXPECT_TRUE(pattern.has_value()) << error;
  return pattern ? formatNumber(value, *pattern, symbols) : u"";
}

TEST(FormatNumber, PadsGroupsAndRoundsAsXsltproc) {
  EXPECT_EQ(formatted(5, u"0000"), u"0005");
  EXPECT_EQ(formatted(1234.5, u"#,##0.00"), u"1,234.50");
  EXPECT_EQ(formatted(0.25, u"0%"), u"25%");
  // Halves away from zero, on the double times the power of ten.
  EXPECT_EQ(formatted(2.5, u"0"), u"3");
  EXPECT_EQ(formatted(-2.5, u"0"), u"-3");
  EXPECT_EQ(formatted(0.125, u"0.00"), u"0.13");
  EXPECT_EQ(formatted(1.115, u"0.00"), u"1.12");
  EXPECT_EQ(formatted(1.005, u"0.00"), u"1.00");
}

TEST(FormatNumber, WritesTheExactDigitsOfLargeNumbers) {
  EXPECT_EQ(formatted(1e20, u"#,##0"), u"100,000,000,000,000,000,000");
  EXPECT_EQ(formatted(std::ldexp(1.0, 70), u"0"), u"1180591620717411303424");
  EXPECT_EQ(formatted(std::numeric_limits<double>::max(), u"0").size(), 309u);
  EXPECT_EQ(formatted(1e300, u"0.00").substr(0, 4), u"1000");
}

TEST(FormatNumber, ManyFractionDigitsRoundTheExactValue) {
  // Past 10^22 the scale is no exact double: the decimal value is rounded.
  EXPECT_EQ(formatted(0.1, u"0." + std::u16string(30, u'#')), u"0.100000000000000005551115123126");
  // The smallest double to 340 places, the most that any double needs.
  EXPECT_EQ(formatted(5e-324, u"0." + std::u16string(400, u'#')), u"0." + std::u16string(323, u'0') + u"49406564584124654");
  // Required zeros beyond the digits any double has.
  EXPECT_EQ(formatted(1, u"0." + std::u16string(400, u'0')), u"1." + std::u16string(400, u'0'));
}

TEST(FormatNumber, WritesInTheDeclaredDigitsAndSigns) {
  DecimalSymbols symbols;
  symbols.zeroDigit = u'\u0660';
  symbols.decimalSeparator = u'\u066B';
  symbols.groupingSeparator = u'\u066C';
  symbols.minusSign = u'\u2212';
  EXPECT_EQ(formatted(-1234.5, u"#\u066C##\u0660\u066B\u0660\u0660", symbols),
            u"\u2212\u0661\u066C\u0662\u0663\u0664\u066B\u0665\u0660");
  symbols.infinity = u"\u221E";
  symbols.notANumber = u"?";
  EXPECT_EQ(formatted(-std::numeric_limits<double>::infinity(), u"(\u0660)", symbols), u"\u2212\u221E");
  EXPECT_EQ(formatted(std::nan(""), u"(\u0660)", symbols), u"?");
}

TEST(FormatNumber, APercentThatOverflowsIsInfinite) {
  EXPECT_EQ(formatted(1e308, u"0%"), u"Infinity");
  EXPECT_EQ(formatted(-1e308, u"0\u2030"), u"-Infinity");
}

TEST(FormatNumber, QuotedSignsAreWrittenNotApplied) {
  EXPECT_EQ(formatted(5, u"'#'0"), u"#5");
  EXPECT_EQ(formatted(0.5, u"0.0'%'"), u"0.5%");
  EXPECT_EQ(formatted(7, u"0 o''clock"), u"7 o'clock");
}

}  // namespace
}  // namespace qrv::cim
