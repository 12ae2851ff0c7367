#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/RequestHeader.h"
#include "provider/request/result/ResultParser.h"
#include "provider/request/transform/RequestTransform.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using test::writeXslRootFile;

class Transform : public testing::Test {
 protected:
  // Transforms a document holding `data` with `stylesheet`, stored below app/<area>.
  RequestStatus run(const std::string& stylesheet, const std::string& data, const std::string& area = "xsl") {
    writeXslRootFile("app/" + area + "/t.xsl", stylesheet);
    result = "stale";
    return transformDocument("<QRVCIM cim-operation=\"get\">" + data + "</QRVCIM>",
                                  Conversion("app", area, "t.xsl"), result);
  }

  std::string result;
};

const std::string kEchoName = textStylesheet(
    "instance of X\n{\nOp = <xsl:value-of select=\"QRVCIM/@cim-operation\"/>;\n"
    "Name = \"<xsl:value-of select=\"QRVCIM/Inv/@name\"/>\";\n};\n");

TEST_F(Transform, AppliesTheStylesheetFoundByAnyPath) {
  EXPECT_EQ(run(kEchoName, "<Inv name=\"a&amp;b &#233;\"/>", "a b%20#?"), Ok);
  EXPECT_EQ(result, "instance of X\n{\nOp = get;\nName = \"a&b \xC3\xA9\";\n};\n");
  EXPECT_EQ(run(textStylesheet(""), "<Inv/>"), Ok);
  EXPECT_EQ(result, "");
}

TEST_F(Transform, TextOutputWritesCharactersOnly) {
  EXPECT_EQ(run(textStylesheet("a\r\nb<xsl:text>&#13;c&#9;</xsl:text><![CDATA[<d>]]>"
                               "<xsl:text disable-output-escaping=\"yes\">&lt;e&gt;</xsl:text>"
                               "<xsl:comment>f</xsl:comment><xsl:processing-instruction name=\"g\">h</xsl:processing-instruction>"
                               "<i j=\"k\">l</i><xsl:copy-of select=\"QRVCIM/Inv\"/>"),
                "<Inv name=\"n\">m<?p q?><!--r-->\xE2\x82\xAC</Inv>"),
            Ok);
  EXPECT_EQ(result, "a\nb\rc\t<d><e>lm\xE2\x82\xAC");
}

TEST_F(Transform, CharactersBeyondTheBasicPlaneComeOutWhole) {
  // Long enough to cross any buffer boundary at every offset of a pair.
  std::string text;
  for (int i = 0; i < 1500; ++i) text += i % 3 ? "\xF0\x9F\x98\x80" : "a";
  EXPECT_EQ(run(textStylesheet("<xsl:value-of select=\"QRVCIM/Inv\"/>"), "<Inv>" + text + "</Inv>"), Ok);
  EXPECT_EQ(result, text);
  // A pair split by the stylesheet is whole again when both halves follow each other;
  // a half on its own is written as U+FFFD.
  EXPECT_EQ(run(textStylesheet("<xsl:value-of select=\"substring(QRVCIM/Inv, 1, 1)\"/>"
                               "<xsl:value-of select=\"substring(QRVCIM/Inv, 2, 1)\"/>|"
                               "<xsl:value-of select=\"substring(QRVCIM/Inv, 2, 1)\"/>|"
                               "<xsl:value-of select=\"substring(QRVCIM/Inv, 1, 1)\"/>x|"
                               "<xsl:value-of select=\"substring(QRVCIM/Inv, 1, 1)\"/>"),
                "<Inv>\xF0\x9F\x98\x80</Inv>"),
            Ok);
  EXPECT_EQ(result, "\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBDx|\xEF\xBF\xBD");
}

TEST_F(Transform, TextInAnotherEncodingIsWrittenInIt) {
  EXPECT_EQ(run("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                "<xsl:output method=\"text\" encoding=\"ISO-8859-1\"/><xsl:template match=\"/\">"
                "<xsl:value-of select=\"QRVCIM/Inv/@name\"/></xsl:template></xsl:stylesheet>",
                "<Inv name=\"caf&#233;\"/>"),
            Ok);
  EXPECT_EQ(result, "caf\xE9");
}

TEST_F(Transform, XmlOutputDeclarationIsSkippedByTheParser) {
  EXPECT_EQ(run("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                "<xsl:output method=\"xml\"/><xsl:template match=\"/\"><r>instance of X\n{\nName = "
                "<xsl:value-of select=\"QRVCIM/Inv/@name\"/>;\n};\n</r></xsl:template></xsl:stylesheet>",
                "<Inv name=\"n\"/>"),
            Ok);
  EXPECT_EQ(result.rfind("<?xml", 0), 0u) << result;
  ParsedInstance instance;
  parseResultInstance(result, instance);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "n"}}));
}

TEST_F(Transform, MissingOrBrokenStylesheetFailsToCompile) {
  EXPECT_EQ(transformDocument("<QRVCIM/>", Conversion("app", "xsl", "missing.xsl"), result), StylesheetFailed);
  for (const std::string& broken : {std::string(), kEchoName.substr(0, kEchoName.size() / 2),
                                    std::string("\xFF\xFE\0\x01garbage", 11),
                                    textStylesheet("<xsl:value-of select=\"((\"/>")}) {
    EXPECT_EQ(run(broken, "<Inv/>"), StylesheetFailed);
    EXPECT_EQ(result, "stale");
  }
}

TEST_F(Transform, MalformedDocumentOrRuntimeErrorFailsTheTransform) {
  for (const char* data : {"<Inv>a & b</Inv>", "<Inv>", "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><Inv>&a;</Inv>",
                           "<Inv>&undefined;</Inv>"}) {
    EXPECT_EQ(run(kEchoName, data), TransformFailed) << data;
  }
  EXPECT_EQ(run(textStylesheet("<xsl:message terminate=\"yes\">stop</xsl:message>"), "<Inv/>"), TransformFailed);
}

// A header value holding markup reaches the stylesheet as it was given.
TEST_F(Transform, HeaderValuesReachTheStylesheetAsGiven) {
  writeXslRootFile("app/xsl/t.xsl", textStylesheet("<xsl:value-of select=\"QRVCIM/@user-name\"/>|"
                                                   "<xsl:value-of select=\"QRVCIM/@creation-class-name\"/>"));
  EXPECT_EQ(transformDocument(writeRequestHeader("get", "C<'>", "N", "a&b\"c") + "</QRVCIM>",
                              Conversion("app", "xsl", "t.xsl"), result),
            Ok);
  EXPECT_EQ(result, "a&b\"c|C<'>");
}

}  // namespace
}  // namespace qrv::cim
