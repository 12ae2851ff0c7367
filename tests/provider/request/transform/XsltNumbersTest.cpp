// Numbers in a transform: format-number() against a table that xsltproc
// agrees with (and against xsltproc itself, run on the same stylesheet and
// document), the errors of a bad pattern or decimal format, and numbers
// turned into strings by XPath's rules.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "provider/request/transform/RequestTransform.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;

struct FormatCase {
  const char* value;    // an XPath expression
  const char* pattern;  // without quotes
  const char* format;   // the decimal format's name, or empty
  const char* expected;
};

// What xsltproc writes for each, checked by the comparison below.
const FormatCase kFormatCases[] = {
    // padding and optional digits
    {"5", "0000", "", "0005"},
    {"-5", "0000", "", "-0005"},
    {"42", "#", "", "42"},
    {"0", "#", "", "0"},
    {"0", "#.#", "", "0"},
    {"0.5", "#", "", "1"},
    {"0.5", ".0", "", ".5"},
    {"0.05", ".#", "", ".1"},
    {"0.5", "#.##", "", "0.5"},
    {"12", "#.", "", "12."},
    // grouping
    {"1234.5", "#,##0.00", "", "1,234.50"},
    {"1234567", "#,###", "", "1,234,567"},
    {"1234567", ",###", "", "1,234,567"},
    {"1234567", "#,###,", "", "1234567"},
    {"1234", "#,#", "", "1,2,3,4"},
    {"12345", "#,##,###", "", "12,345"},
    {"5", "#,##0000", "", "0005"},
    {"123456789", "#,##0", "", "123,456,789"},
    // fractions
    {"1", "0.0#", "", "1.0"},
    {"1.23456", "0.0#", "", "1.23"},
    {"1234567.891", "#,##0.0#", "", "1,234,567.89"},
    {"0.000001", "0.###", "", "0"},
    {"3.14159", "0.000", "", "3.142"},
    {"100", "#,##0.###", "", "100"},
    {"1.001", "0.##", "", "1"},
    // rounding: halves away from zero
    {"0.125", "0.00", "", "0.13"},
    {"2.5", "0", "", "3"},
    {"3.5", "0", "", "4"},
    {"-2.5", "0", "", "-3"},
    {"1.005", "0.00", "", "1.00"},
    {"1.115", "0.00", "", "1.12"},
    {"0.9999", "0.00", "", "1.00"},
    {"99.995", "0.00", "", "100.00"},
    {"-0.4", "0", "", "-0"},
    {"-0.0001", "0.00", "", "-0.00"},
    {"-0", "0", "", "0"},
    // percent and per-mille
    {"0.25", "0%", "", "25%"},
    {"0.001", "0.00%", "", "0.10%"},
    {"0.5", "%0", "", "%50"},
    {"0.1234", "0.0\xE2\x80\xB0", "", "123.4\xE2\x80\xB0"},
    {"0.0001", "0.0000%", "", "0.0100%"},
    // negative subpatterns
    {"-1234.5", "#,##0.00;(#,##0.00)", "", "(1,234.50)"},
    {"-5", "x0y;a0b", "", "a5b"},
    {"-5", "0;", "", "5"},
    {"-1.1", "00.00;-", "", "-01.10"},
    {"-1", "0;a#.00b", "", "a1b"},
    {"-2", "#;(#)", "", "(2)"},
    {"-1.5", "0%;(0)", "", "(150)"},
    {"-0.015", "0;(0%)", "", "(2%)"},
    {"1.1", "00.00;", "", "01.10"},
    // prefixes and suffixes
    {"12.5", "USD 0.00", "", "USD 12.50"},
    {"1", "abc", "", "abc1"},
    // NaN and infinity, without affixes
    {"0 div 0", "0", "", "NaN"},
    {"1 div 0", "0", "", "Infinity"},
    {"-1 div 0", "0", "", "-Infinity"},
    {"1 div 0", "a0b", "", "Infinity"},
    {"-1 div 0", "0;(0)", "", "-Infinity"},
    // declared decimal formats
    {"1234.5", "#.##0,00", "eu", "1.234,50"},
    {"-0.5", "0,0;0,0-", "eu", "0,5-"},
    {"1234.5", "x.xxa,aa", "odd", "b.cde,fa"},
    {"-1234.5", "x.xxa,aa", "odd", "~b.cde,fa"},
    {"-1234.5", "x.xxa,aa|(a)", "odd", "(b.cde,fa)"},
    {"0.5", "ap", "odd", "fap"},
    {"0.5", "am", "odd", "faam"},
    {"1 div 0", "a", "odd", "inf"},
    {"-1 div 0", "a", "odd", "~inf"},
    {"0 div 0", "a", "odd", "nan"},
};

const char kDecimalFormats[] =
    "<xsl:decimal-format name=\"eu\" decimal-separator=\",\" grouping-separator=\".\"/>"
    "<xsl:decimal-format name=\"odd\" decimal-separator=\",\" grouping-separator=\".\" infinity=\"inf\" NaN=\"nan\" "
    "minus-sign=\"~\" percent=\"p\" per-mille=\"m\" zero-digit=\"a\" digit=\"x\" pattern-separator=\"|\"/>";

const char kDocument[] = "<QRVCIM/>";

// A text stylesheet that writes `body`, with `declarations` at its top level
// (by default the decimal formats above).
std::string stylesheetWith(const std::string& body, const std::string& declarations = kDecimalFormats) {
  std::string stylesheet = textStylesheet(body);
  stylesheet.insert(stylesheet.find("<xsl:template"), declarations);
  return stylesheet;
}

// One line per case: format-number() of each.
std::string formatStylesheet() {
  std::string body;
  for (const FormatCase& c : kFormatCases) {
    body += "<xsl:value-of select=\"format-number(" + std::string(c.value) + ", '" + c.pattern + "'" +
            (*c.format ? ", '" + std::string(c.format) + "'" : std::string()) + ")\"/><xsl:text>&#10;</xsl:text>";
  }
  return body;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

class XsltNumbers : public testing::Test {
 protected:
  // Our transform of the request document by `stylesheet`, stored as app/xsl/<name>.
  RequestStatus run(const std::string& name, const std::string& stylesheet) {
    test::writeXslRootFile("app/xsl/" + name, stylesheet);
    result.clear();
    return transformDocument(kDocument, Conversion("app", "xsl", name), result);
  }

  std::string result;
};

TEST_F(XsltNumbers, FormatNumberFollowsItsPatternAndDecimalFormat) {
  ASSERT_EQ(run("format.xsl", stylesheetWith(formatStylesheet())), Ok);
  const std::vector<std::string> written = lines(result);
  ASSERT_EQ(written.size(), std::size(kFormatCases));
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(written[i], kFormatCases[i].expected)
        << "format-number(" << kFormatCases[i].value << ", '" << kFormatCases[i].pattern << "', '"
        << kFormatCases[i].format << "')";
  }
}

TEST_F(XsltNumbers, FormatNumberWritesWhatXsltprocWrites) {
  const std::string stylesheet = stylesheetWith(formatStylesheet());
  ASSERT_EQ(run("format.xsl", stylesheet), Ok);
  test::writeXslRootFile("app/data/request.xml", kDocument);
  const std::string command =
      "xsltproc '" + test::xslRootFile("app/xsl/format.xsl") + "' '" + test::xslRootFile("app/data/request.xml") + "'";
  const std::unique_ptr<FILE, int (*)(FILE*)> xsltproc(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(xsltproc) << command;
  std::string reference;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), xsltproc.get())) > 0;) reference.append(buffer, n);
  // xsltproc comes with scripts/setup.sh; without it the output is empty.
  ASSERT_EQ(lines(reference).size(), std::size(kFormatCases)) << "is xsltproc installed? " << reference;
  EXPECT_EQ(result, reference);
}

TEST_F(XsltNumbers, AnUnnamedDecimalFormatChangesTheDefaults) {
  ASSERT_EQ(run("unnamed.xsl", stylesheetWith("<xsl:value-of select=\"format-number(1234567, '# ###')\"/>|"
                                              "<xsl:value-of select=\"format-number(0 div 0, '0')\"/>",
                                              "<xsl:decimal-format grouping-separator=\" \" NaN=\"n/a\"/>")),
            Ok);
  EXPECT_EQ(result, "1 234 567|n/a");
}

TEST_F(XsltNumbers, IndexesPaddedByFormatNumberSortAsNumbers) {
  test::writeXslRootFile("app/data/items.xml", "<L><I n=\"10\"/><I n=\"9\"/><I n=\"100\"/><I n=\"0\"/></L>");
  ASSERT_EQ(run("indexes.xsl", textStylesheet("<xsl:for-each select=\"document('../data/items.xml')/L/I\">"
                                              "<xsl:sort select=\"format-number(@n, '0000')\"/>"
                                              "<xsl:value-of select=\"format-number(@n, '0000')\"/>,</xsl:for-each>")),
            Ok);
  EXPECT_EQ(result, "0000,0009,0010,0100,");
}

TEST_F(XsltNumbers, AnInvalidPatternOrUnknownFormatFailsTheTransform) {
  const struct {
    const char* call;
    const char* reason;
  } failures[] = {
      {"format-number(1, '#0#')", "format-number(): the pattern '#0#' is invalid: an optional digit follows a zero digit"},
      {"format-number(1, '')", "format-number(): the pattern '' is invalid: the pattern is empty"},
      {"format-number(1, '0', 'nosuch')", "format-number(): no xsl:decimal-format is named 'nosuch'"},
  };
  for (const auto& failure : failures) {
    test::DiagnosticLines diagnostics;
    EXPECT_EQ(run("bad.xsl", textStylesheet("<xsl:value-of select=\"" + std::string(failure.call) + "\"/>")),
              TransformFailed)
        << failure.call;
    EXPECT_NE(diagnostics.all().find(failure.reason), std::string::npos) << diagnostics.all();
  }
}

TEST_F(XsltNumbers, NumbersBecomeTheShortestTextThatTellsThemApart) {
  const struct {
    const char* value;
    const char* text;
  } cases[] = {
      {"1234567.891", "1234567.891"},
      {"0.1 + 0.2", "0.30000000000000004"},
      {"1 div 3", "0.3333333333333333"},
      {"-2 div 3", "-0.6666666666666666"},
      {"1.5", "1.5"},
      {"100", "100"},
      {"-42", "-42"},
      {"1 div 1024", "0.0009765625"},
      {"1 div 10000000", "0.0000001"},
      {"1000000000000000000000", "1000000000000000000000"},
      {"123456789012345678", "123456789012345680"},
      {"-0", "0"},
      {"0 * -1", "0"},
      {"1 div 0", "Infinity"},
      {"-1 div 0", "-Infinity"},
      {"0 div 0", "NaN"},
  };
  std::string body;
  for (const auto& c : cases) body += "<xsl:value-of select=\"" + std::string(c.value) + "\"/>|";
  // string() and concat() write the same text.
  body += "<xsl:value-of select=\"concat(string(1234567.891), '/', 0.1 + 0.2)\"/>";
  ASSERT_EQ(run("string.xsl", textStylesheet(body)), Ok);
  std::string expected;
  for (const auto& c : cases) expected += std::string(c.text) + "|";
  EXPECT_EQ(result, expected + "1234567.891/0.30000000000000004");
}

}  // namespace
}  // namespace qrv::cim
