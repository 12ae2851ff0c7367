#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "provider/request/text/NumberPattern.h"

namespace qrv::cim {
namespace {

NumberPattern parsed(const std::u16string& text, const DecimalSymbols& symbols = {}) {
  std::string error;
  const std::optional<NumberPattern> pattern = parseNumberPattern(text, symbols, error);
  EXPECT_TRUE(pattern.has_value()) << error;
  return pattern.value_or(NumberPattern{});
}

std::string refusal(const std::u16string& text, const DecimalSymbols& symbols = {}) {
  std::string error;
  EXPECT_FALSE(parseNumberPattern(text, symbols, error).has_value());
  return error;
}

TEST(NumberPattern, CountsTheDigitsOfTheIntegerAndTheFraction) {
  const NumberPattern pattern = parsed(u"#,##0.00##");
  EXPECT_EQ(pattern.minimumIntegerDigits, 1);
  EXPECT_EQ(pattern.minimumFractionDigits, 2);
  EXPECT_EQ(pattern.maximumFractionDigits, 4);
  EXPECT_EQ(pattern.groupingSize, 3);
  EXPECT_FALSE(pattern.decimalSeparatorAlwaysShown);
  EXPECT_EQ(parsed(u"0000").minimumIntegerDigits, 4);
  EXPECT_TRUE(parsed(u"0.").decimalSeparatorAlwaysShown);
  // ".#" asks for one fraction digit, as ".0" does.
  EXPECT_EQ(parsed(u".#").minimumFractionDigits, 1);
  EXPECT_EQ(parsed(u"#.#").minimumFractionDigits, 0);
}

TEST(NumberPattern, TheLastGroupingSeparatorSetsTheGroupSize) {
  EXPECT_EQ(parsed(u"#,##,###").groupingSize, 3);
  EXPECT_EQ(parsed(u"#,#").groupingSize, 1);
  EXPECT_EQ(parsed(u",0000").groupingSize, 4);
  // A separator with no digit after it groups nothing.
  EXPECT_EQ(parsed(u"#,###,").groupingSize, 0);
  EXPECT_EQ(parsed(u"###0").groupingSize, 0);
}

TEST(NumberPattern, AffixesAroundTheNumberWithQuotedText) {
  const NumberPattern pattern = parsed(u"USD #0 'o''clock' '#'");
  EXPECT_EQ(pattern.positivePrefix, u"USD ");
  EXPECT_EQ(pattern.positiveSuffix, u" o'clock #");
  EXPECT_EQ(pattern.multiplier, 1);
  EXPECT_EQ(parsed(u"''0").positivePrefix, u"'");
  // Everything is prefix where there is no digit at all.
  EXPECT_EQ(parsed(u"abc").positivePrefix, u"abc");
}

TEST(NumberPattern, PercentAndPerMilleMultiplyUnlessQuoted) {
  EXPECT_EQ(parsed(u"0%").multiplier, 100);
  EXPECT_EQ(parsed(u"%0").multiplier, 100);
  EXPECT_EQ(parsed(u"0.0\u2030").multiplier, 1000);
  EXPECT_EQ(parsed(u"0'%'").multiplier, 1);
  EXPECT_EQ(parsed(u"0'%'").positiveSuffix, u"%");
  // A negative subpattern's sign counts where the positive one has none.
  EXPECT_EQ(parsed(u"0;(0%)").multiplier, 100);
}

TEST(NumberPattern, NegativeAffixesFromTheSubpatternOrTheMinusSign) {
  const NumberPattern explicitNegative = parsed(u"x#,##0y;(0)");
  EXPECT_EQ(explicitNegative.negativePrefix, u"(");
  EXPECT_EQ(explicitNegative.negativeSuffix, u")");
  EXPECT_EQ(explicitNegative.groupingSize, 3);
  const NumberPattern implied = parsed(u"x0y");
  EXPECT_EQ(implied.negativePrefix, u"-x");
  EXPECT_EQ(implied.negativeSuffix, u"y");
  const NumberPattern empty = parsed(u"0;");
  EXPECT_EQ(empty.negativePrefix, u"");
  EXPECT_EQ(empty.negativeSuffix, u"");
}

TEST(NumberPattern, ReadsWithTheDeclaredSymbols) {
  DecimalSymbols symbols;
  symbols.decimalSeparator = u',';
  symbols.groupingSeparator = u'.';
  symbols.digit = u'x';
  symbols.zeroDigit = u'a';
  symbols.patternSeparator = u'|';
  symbols.percent = u'p';
  symbols.minusSign = u'~';
  const NumberPattern pattern = parsed(u"x.xxa,a#p", symbols);
  EXPECT_EQ(pattern.minimumIntegerDigits, 1);
  EXPECT_EQ(pattern.maximumFractionDigits, 1);
  EXPECT_EQ(pattern.groupingSize, 3);
  EXPECT_EQ(pattern.positiveSuffix, u"#p");
  EXPECT_EQ(pattern.multiplier, 100);
  EXPECT_EQ(pattern.negativePrefix, u"~");
  EXPECT_EQ(parsed(u"a|(a);", symbols).negativeSuffix, u");");
}

TEST(NumberPattern, RefusesInvalidPatternsSayingWhy) {
  EXPECT_EQ(refusal(u""), "the pattern is empty");
  EXPECT_EQ(refusal(u"#0#"), "an optional digit follows a zero digit");
  EXPECT_EQ(refusal(u"0.#0"), "a zero digit follows an optional digit in the fraction");
  EXPECT_EQ(refusal(u"0.0.0"), "a separator follows the decimal separator");
  EXPECT_EQ(refusal(u"0.0,0"), "a separator follows the decimal separator");
  EXPECT_EQ(refusal(u"0 0"), "a digit or separator stands in the suffix");
  EXPECT_EQ(refusal(u"#.##E0"), "a digit or separator stands in the suffix");
  EXPECT_EQ(refusal(u"0%%"), "it has two percent or per-mille signs");
  EXPECT_EQ(refusal(u"%0\u2030"), "it has two percent or per-mille signs");
  EXPECT_EQ(refusal(u"0;0;0"), "it has more than two subpatterns");
  EXPECT_EQ(refusal(u"'0"), "a quote is not closed");
  EXPECT_EQ(refusal(u"0;#0#"), "an optional digit follows a zero digit");
}

TEST(NumberPattern, ReadsALongPatternInOnePass) {
  const std::u16string digits(200000, u'#');
  const NumberPattern pattern = parsed(digits + u"0." + std::u16string(100000, u'0') + digits);
  EXPECT_EQ(pattern.minimumFractionDigits, 100000);
  EXPECT_EQ(pattern.maximumFractionDigits, 300000);
}

}  // namespace
}  // namespace qrv::cim
