#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "provider/request/DataFileLimits.h"
#include "provider/request/HostName.h"
#include "provider/request/RequestBase.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/provider/request/Utf16Bytes.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using test::utf16;
using test::writeXslRootFile;

// The text that a data file with these bytes contributes.
std::string dataText(const std::string& bytes, bool unicode = false) {
  writeXslRootFile("app/data/file.xml", bytes);
  std::string text = "stale";
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "file.xml", unicode), text), Ok);
  return text;
}

TEST(ReadDataFile, DropsTheDeclarationAndStopsAtTheFirstZero) {
  EXPECT_EQ(dataText("<?xml version=\"1.0\"?><Inventory/>"), "<Inventory/>");
  EXPECT_EQ(dataText("<Inventory a=\"1\"/>"), "<Inventory a=\"1\"/>");
  EXPECT_EQ(dataText(std::string("<A/>\0<B/>?>", 11)), "<A/>");
  EXPECT_EQ(dataText(""), "");
}

TEST(ReadDataFile, ConvertsUnicodeFilesToUtf8) {
  EXPECT_EQ(dataText(utf16(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><A>x\u00E9</A>"), true),
            "<A>x\xC3\xA9</A>");
  EXPECT_EQ(dataText(utf16(u"\u0100<A/>") + std::string("\0\0", 2) + utf16(u"<B/>"), true), "\xC4\x80<A/>");
  EXPECT_EQ(dataText(utf16(u"<A>") + utf16(std::u16string(1, 0xD800)) + "<", true), "<A>\xEF\xBF\xBD");
}

TEST(ReadDataFile, MissingFilesAndDirectoriesAreNotAccessible) {
  std::string text;
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "missing.xml", false), text), NotAccessible);
  std::filesystem::create_directories(test::xslRootFile("app/data/directory.xml"));
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "directory.xml", false), text), NotAccessible);
}

// 700 KB of nesting took the transform's parser 21 s per request, and a file
// of any size was read whole; both now fail the request at once.
TEST(ReadDataFile, FilesBeyondTheLimitsFailTheRequest) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  writeXslRootFile("app/data/deep.xml", deep);
  std::string text = "stale";
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "deep.xml", false), text), TransformFailed);
  EXPECT_EQ(text, "");

  std::string allowed;
  for (std::size_t i = 0; i < DataFileLimits::kDefaultMaxDepth; ++i) allowed += "<a x='>' y=\"/>\"><b/>";
  allowed += "<!-- <c> --><![CDATA[<c>]]>";
  EXPECT_TRUE(dataText(allowed) == allowed);

  setenv("KORVEX_DATA_FILE_MAX_BYTES", "100", 1);
  EXPECT_EQ(dataText(std::string(100, ' ')).size(), 100u);
  writeXslRootFile("app/data/big.xml", std::string(101, ' '));
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "big.xml", false), text), TransformFailed);
  unsetenv("KORVEX_DATA_FILE_MAX_BYTES");
  setenv("KORVEX_DATA_FILE_MAX_DEPTH", "2", 1);
  EXPECT_EQ(RequestBase::readDataFile(FileAccessor("app", "data", "deep.xml", false), text), TransformFailed);
  EXPECT_EQ(dataText("<a><b/><b></b></a><a><b/></a>"), "<a><b/><b></b></a><a><b/></a>");
  unsetenv("KORVEX_DATA_FILE_MAX_DEPTH");
}

TEST(DataFileLimits, NestingIsCountedOutsideCommentsSectionsAndQuotes) {
  EXPECT_FALSE(nestsDeeperThan("<a><!-- <b><c> --></a><?p <b>?>", 1));
  EXPECT_FALSE(nestsDeeperThan("<a t='<b>'><![CDATA[<b><c>]]></a><a/>", 1));
  EXPECT_TRUE(nestsDeeperThan("<a><b/><b>", 1));
  EXPECT_FALSE(nestsDeeperThan("<a></a><a></a><a>", 1));
  EXPECT_FALSE(nestsDeeperThan("<a", 0));
  EXPECT_TRUE(nestsDeeperThan("<a>", 0));
}

// Only accessors whose dynamic type is exactly FileAccessor are read.
class OtherAccessor : public FileAccessor {
 public:
  OtherAccessor() : FileAccessor("app", "data", "one.xml", false) {}
};

TEST(AppendData, AppendsFileAccessorsInOrderAndFailsOnAnyUnreadableFile) {
  writeXslRootFile("app/data/one.xml", "<?xml version=\"1.0\"?><One/>");
  writeXslRootFile("app/data/two.xml", "<Two/>");
  Enumerate op;
  op.addAccessor(new FileAccessor("app", "data", "two.xml", false));
  op.addAccessor(new OtherAccessor);
  op.addAccessor(new FileAccessor("app", "data", "one.xml", false));
  writeXslRootFile("app/data/wide.xml", utf16(u"\uFEFF<?xml version=\"1.0\"?><W\u00E9/>"));
  op.addAccessor(new FileAccessor("app", "data", "wide.xml", true));
  std::string document = "<R>";
  EXPECT_EQ(RequestBase::appendData(op, document), Ok);
  EXPECT_EQ(document, "<R><Two/><One/><W\xC3\xA9/>");

  // A file that fails leaves nothing of itself behind.
  writeXslRootFile("app/data/deep.xml", "<a><a><a></a></a></a>");
  setenv("KORVEX_DATA_FILE_MAX_DEPTH", "2", 1);
  EXPECT_EQ(RequestBase::appendDataFile(FileAccessor("app", "data", "deep.xml", false), document), TransformFailed);
  unsetenv("KORVEX_DATA_FILE_MAX_DEPTH");
  EXPECT_EQ(document, "<R><Two/><One/><W\xC3\xA9/>");

  Get failing;
  failing.addAccessor(new FileAccessor("app", "data", "missing.xml", false));
  failing.addAccessor(new FileAccessor("app", "data", "one.xml", false));
  EXPECT_EQ(RequestBase::appendData(failing, document), NotAccessible);
}

TEST(RequestDocument, GetDocumentWithDataIsExact) {
  writeXslRootFile("app/data/inv.xml", "<?xml version=\"1.0\"?><Inv/>");
  ClassMap classMap("N", "C");
  classMap.addAttribute(Attribute(true, false, "Name", ""));
  Get op;
  op.addAccessor(new FileAccessor("app", "data", "inv.xml", false));
  std::string document = RequestBase("").writeHeader("get", "C", "N");
  ASSERT_EQ(RequestBase::writeAttributes(classMap, {{"Name", "7"}}, document), Ok);
  ASSERT_EQ(RequestBase::appendData(op, document), Ok);
  EXPECT_EQ(document + "</QRVCIM>",
            "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM cim-operation=\"get\" "
            "creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"" +
                hostName() +
                "\" user-name=\"\"><Attributes><Required name=\"Name\" value=\"7\" /></Attributes><Inv/></QRVCIM>");
}

class Transform : public testing::Test {
 protected:
  // Transforms a document holding `data` with `stylesheet`, stored below app/<area>.
  RequestStatus run(const std::string& stylesheet, const std::string& data, const std::string& area = "xsl") {
    writeXslRootFile("app/" + area + "/t.xsl", stylesheet);
    result = "stale";
    return RequestBase::transform("<QRVCIM cim-operation=\"get\">" + data + "</QRVCIM>",
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
  RequestBase::parseInstance(result, instance);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "n"}}));
}

TEST_F(Transform, MissingOrBrokenStylesheetFailsToCompile) {
  EXPECT_EQ(RequestBase::transform("<QRVCIM/>", Conversion("app", "xsl", "missing.xsl"), result), StylesheetFailed);
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

}  // namespace
}  // namespace qrv::cim
