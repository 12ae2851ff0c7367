#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/xslt/StylesheetLimits.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::repeated;
using test::textStylesheet;

// The fault found in a stylesheet file holding `text`.
std::string faultOf(const std::string& text) {
  test::writeXslRootFile("app/xsl/checked.xsl", text);
  return stylesheetFault(test::xslRootFile("app/xsl/checked.xsl"));
}

std::string nestedElements(std::size_t depth) {
  // The stylesheet and its template are two levels.
  return textStylesheet(repeated("<xsl:if test=\"1\">", depth - 2) + "x" + repeated("</xsl:if>", depth - 2));
}

std::string nestedBrackets(std::size_t depth) {
  return textStylesheet("<xsl:value-of select=\"" + repeated("(", depth - 1) + "//a[1]" + repeated(")", depth - 1) +
                        "\"/>");
}

TEST(StylesheetLimits, EachBoundAllowsItsLimitAndNoMore) {
  EXPECT_EQ(faultOf(nestedElements(StylesheetLimits::kMaxElementDepth)), "");
  EXPECT_EQ(faultOf(nestedElements(StylesheetLimits::kMaxElementDepth + 1)), "its elements nest deeper than 256");
  EXPECT_EQ(faultOf(nestedBrackets(StylesheetLimits::kMaxBracketDepth)), "");
  EXPECT_EQ(faultOf(nestedBrackets(StylesheetLimits::kMaxBracketDepth + 1)),
            "the brackets of the attribute select of <xsl:value-of> nest deeper than 100");
  // Brackets written as character references count as well; closing ones never go below zero.
  EXPECT_NE(faultOf(textStylesheet("<xsl:value-of select=\"))]]" + repeated("&#40;", 101) + "\"/>")), "");
  EXPECT_EQ(faultOf(textStylesheet("<xsl:value-of select=\"" + repeated("(1)[1]", 200) + "\"/>")), "");
}

TEST(StylesheetLimits, ADocumentTypeDeclarationIsRefused) {
  EXPECT_EQ(faultOf("<!DOCTYPE x [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>" + textStylesheet("&b;")),
            "it has a document type declaration");
  // What does not parse is left to the compiler, which says where.
  EXPECT_EQ(faultOf("<xsl:stylesheet"), "");
  EXPECT_EQ(stylesheetFault(test::xslRootFile("app/xsl/missing.xsl")), "");
}

// Xalan-C compiles an xsl:with-param inside any instruction and crashes on
// it in the transform (found by the request fuzzer in a disk stylesheet
// with one inside an xsl:if).
TEST(StylesheetLimits, WithParamStandsOnlyInCallsAndApplies) {
  const std::string refused = "an xsl:with-param stands outside xsl:call-template and xsl:apply-templates";
  const std::string withParam = "<xsl:with-param name=\"p\" select=\"1\"/>";
  for (const std::string parent : {"xsl:if test=\"1\"", "xsl:for-each select=\"*\"", "xsl:variable name=\"v\"", "a"}) {
    const std::string name = parent.substr(0, parent.find(' '));
    EXPECT_EQ(faultOf(textStylesheet("<" + parent + ">" + withParam + "</" + name + ">")), refused) << parent;
  }
  EXPECT_EQ(faultOf(textStylesheet(withParam)), refused);
  EXPECT_EQ(faultOf(textStylesheet("<xsl:apply-templates>" + withParam + "</xsl:apply-templates><xsl:call-template "
                                   "name=\"t\">" + withParam + "</xsl:call-template>")), "");
  // Another namespace's with-param is literal output.
  EXPECT_EQ(faultOf(textStylesheet("<w:with-param xmlns:w=\"urn:w\"/>")), "");
}

// 3000 nested brackets overflowed the machine stack in Xalan-C's XPath
// compiler; 3000 nested elements took its reader 20 s. Both are refused
// before compiling, in the stylesheet and in every file it includes.
TEST(StylesheetLimits, ARequestWithARefusedStylesheetFailsAndSaysWhy) {
  test::writeXslRootFile("app/data/limits.xml", "<a/>");
  test::writeXslRootFile("app/xsl/brackets.xsl", nestedBrackets(3000));
  test::writeXslRootFile("app/xsl/includer.xsl", "<xsl:stylesheet version=\"1.0\" "
                                                 "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"><xsl:include "
                                                 "href=\"nesting.xsl\"/></xsl:stylesheet>");
  test::writeXslRootFile("app/xsl/nesting.xsl", nestedElements(3000));
  test::writeXslRootFile("app/xsl/misplaced.xsl", textStylesheet("<xsl:for-each select=\"*\"><xsl:if test=\"1\">"
                                                                 "<xsl:with-param name=\"p\"/></xsl:if></xsl:for-each>"));
  for (const std::string name : {"brackets", "includer", "misplaced"}) {
    test::writeRegistration("root/qrvlimits/" + name + ".xml",
                            "<R><Class name=\"" + name + "\" namespace=\"root\\qrvlimits\"><Enumerate><FileProvider "
                            "name=\"limits.xml\" app=\"app\" area=\"data\"/><Conversion name=\"" + name +
                                ".xsl\" app=\"app\" area=\"xsl\"/></Enumerate></Class></R>");
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"brackets", "/xslroot/app/xsl/brackets.xsl is refused: the brackets of the attribute select"},
      {"includer", "/xslroot/app/xsl/nesting.xsl, which is refused: its elements nest deeper than 256"},
      {"misplaced", "/xslroot/app/xsl/misplaced.xsl is refused: an xsl:with-param stands outside"},
  };
  for (const auto& [name, reason] : cases) {
    test::DiagnosticLines lines;
    std::vector<ParsedInstance> instances;
    EXPECT_EQ(EnumerateImpl("").run("root\\qrvlimits", name, instances), StylesheetFailed);
    EXPECT_NE(lines.all().find(reason), std::string::npos) << lines.all();
  }
}

}  // namespace
}  // namespace qrv::cim
