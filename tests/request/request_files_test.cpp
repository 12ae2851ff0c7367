#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "provider/request/HostName.h"
#include "provider/request/RequestBase.h"
#include "request/request_files.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using test::writeXslRootFile;

std::string utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

RequestStatus readData(const std::string& name, std::string& text, bool unicode = false) {
  return RequestBase::readDataFile(FileAccessor("app", "data", name, unicode), text);
}

std::string readData(const std::string& name, bool unicode = false) {
  std::string text = "stale";
  EXPECT_EQ(readData(name, text, unicode), Ok);
  return text;
}

TEST(ReadDataFile, DropsTheDeclarationAndStopsAtTheFirstZero) {
  writeXslRootFile("app/data/decl.xml", "<?xml version=\"1.0\"?><Inventory/>");
  writeXslRootFile("app/data/plain.xml", "<Inventory a=\"1\"/>");
  writeXslRootFile("app/data/zero.xml", std::string("<A/>\0<B/>?>", 11));
  writeXslRootFile("app/data/latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><A>\xE9</A>");
  writeXslRootFile("app/data/empty.xml", "");
  EXPECT_EQ(readData("decl.xml"), "<Inventory/>");
  EXPECT_EQ(readData("plain.xml"), "<Inventory a=\"1\"/>");
  EXPECT_EQ(readData("zero.xml"), "<A/>");
  EXPECT_EQ(readData("latin1.xml"), "<A>\xE9</A>");
  EXPECT_EQ(readData("empty.xml"), "");
}

TEST(ReadDataFile, ConvertsUnicodeFilesToUtf8) {
  writeXslRootFile("app/data/wide.xml",
                   utf16(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><A>x\u00E9</A>"));
  writeXslRootFile("app/data/wide-zero.xml", utf16(u"<A/>") + std::string("\0\0", 2) + utf16(u"<B/>"));
  // A zero byte that is half of a code unit does not end the text.
  writeXslRootFile("app/data/wide-half.xml", utf16(u"\u0100<A/>"));
  // A lone surrogate and an odd last byte are survivable.
  writeXslRootFile("app/data/wide-broken.xml", utf16(u"<A>") + utf16(std::u16string(1, 0xD800)) + "<");
  EXPECT_EQ(readData("wide.xml", true), "<A>x\xC3\xA9</A>");
  EXPECT_EQ(readData("wide-zero.xml", true), "<A/>");
  EXPECT_EQ(readData("wide-half.xml", true), "\xC4\x80<A/>");
  EXPECT_EQ(readData("wide-broken.xml", true), "<A>\xEF\xBF\xBD");
}

TEST(ReadDataFile, UnreadableFilesAreNotAccessible) {
  std::string text;
  EXPECT_EQ(readData("missing.xml", text), NotAccessible);
  std::filesystem::create_directories(test::xslRootFile("app/data/directory.xml"));
  EXPECT_EQ(readData("directory.xml", text), NotAccessible);
}

// An accessor of another kind than FileAccessor is passed over.
class OtherAccessor : public FileAccessor {
 public:
  OtherAccessor() : FileAccessor("app", "data", "one.xml", false) {}
};

TEST(AppendData, AppendsFileAccessorsInOrder) {
  writeXslRootFile("app/data/one.xml", "<?xml version=\"1.0\"?><One/>");
  writeXslRootFile("app/data/two.xml", "<Two/>");
  Enumerate op;
  op.addAccessor(new FileAccessor("app", "data", "two.xml", false));
  op.addAccessor(new OtherAccessor);
  op.addAccessor(new FileAccessor("app", "data", "one.xml", false));
  std::string document = "<R>";
  EXPECT_EQ(RequestBase::appendData(op, document), Ok);
  EXPECT_EQ(document, "<R><Two/><One/>");

  Enumerate none;
  EXPECT_EQ(RequestBase::appendData(none, document), Ok);
  EXPECT_EQ(document, "<R><Two/><One/>");
}

TEST(AppendData, AnyUnreadableFileFailsTheRequest) {
  writeXslRootFile("app/data/one.xml", "<One/>");
  Get op;
  op.addAccessor(new FileAccessor("app", "data", "missing.xml", false));
  op.addAccessor(new FileAccessor("app", "data", "one.xml", false));
  std::string document;
  EXPECT_EQ(RequestBase::appendData(op, document), NotAccessible);
}

TEST(RequestDocument, GetDocumentWithDataIsExact) {
  writeXslRootFile("app/data/inv.xml", "<?xml version=\"1.0\"?><Inv/>");
  ClassMap classMap("N", "C");
  classMap.addAttribute(Attribute(true, false, "Name", ""));
  Get op;
  op.addAccessor(new FileAccessor("app", "data", "inv.xml", false));

  const RequestBase request("");
  std::string document = request.writeHeader("get", "C", "N");
  ASSERT_EQ(RequestBase::writeAttributes(classMap, {{"Name", "7"}}, document), Ok);
  ASSERT_EQ(RequestBase::appendData(op, document), Ok);
  document += "</QRVCIM>";
  EXPECT_EQ(document,
            "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM cim-operation=\"get\" "
            "creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"" +
                hostName() +
                "\" user-name=\"\"><Attributes><Required name=\"Name\" value=\"7\" /></Attributes><Inv/></QRVCIM>");
}

class Transform : public testing::Test {
 protected:
  RequestStatus run(const std::string& stylesheet, const std::string& data) {
    writeXslRootFile("app/xsl/t.xsl", stylesheet);
    return runExisting("t.xsl", data);
  }

  RequestStatus runExisting(const std::string& name, const std::string& data) {
    result = "stale";
    const std::string document = "<?xml-stylesheet type=\"text/xml\"?><QRVCIM cim-operation=\"get\">" + data +
                                 "</QRVCIM>";
    return RequestBase::transform(document, Conversion("app", "xsl", name), result);
  }

  std::string result;
};

const std::string kEchoName =
    textStylesheet("instance of X\n{\nOp = <xsl:value-of select=\"QRVCIM/@cim-operation\"/>;\n"
                   "Name = \"<xsl:value-of select=\"QRVCIM/Inv/@name\"/>\";\n};\n");

TEST_F(Transform, AppliesTheStylesheetToTheDocument) {
  EXPECT_EQ(run(kEchoName, "<Inv name=\"a&amp;b &#233;\"/>"), Ok);
  EXPECT_EQ(result, "instance of X\n{\nOp = get;\nName = \"a&b \xC3\xA9\";\n};\n");
}

TEST_F(Transform, StylesheetPathMayHoldUrlSignificantCharacters) {
  writeXslRootFile("app/a b%20#?/t.xsl", kEchoName);
  EXPECT_EQ(RequestBase::transform("<QRVCIM cim-operation=\"get\"/>", Conversion("app", "a b%20#?", "t.xsl"), result),
            Ok);
  EXPECT_EQ(result.rfind("instance of X\n{\nOp = get;", 0), 0u) << result;
}

TEST_F(Transform, StylesheetWithoutOutputGivesAnEmptyResult) {
  EXPECT_EQ(run(textStylesheet(""), "<Inv/>"), Ok);
  EXPECT_EQ(result, "");
}

TEST_F(Transform, XmlOutputDeclarationIsSkippedByTheParser) {
  const std::string stylesheet =
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
      "<xsl:output method=\"xml\"/><xsl:template match=\"/\"><r>instance of X\n{\nName = <xsl:value-of "
      "select=\"QRVCIM/Inv/@name\"/>;\n};\n</r></xsl:template></xsl:stylesheet>";
  EXPECT_EQ(run(stylesheet, "<Inv name=\"n\"/>"), Ok);
  EXPECT_EQ(result.rfind("<?xml", 0), 0u) << result;
  ParsedInstance instance;
  RequestBase::parseInstance(result, instance);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "n"}}));
}

TEST_F(Transform, MissingOrBrokenStylesheetFailsToCompile) {
  EXPECT_EQ(runExisting("missing.xsl", "<Inv/>"), StylesheetFailed);
  EXPECT_EQ(result, "stale");
  EXPECT_EQ(run("", "<Inv/>"), StylesheetFailed);
  EXPECT_EQ(run(kEchoName.substr(0, kEchoName.size() / 2), "<Inv/>"), StylesheetFailed);
  EXPECT_EQ(run(std::string("\xFF\xFE\0\x01garbage", 11), "<Inv/>"), StylesheetFailed);
  EXPECT_EQ(run(textStylesheet("<xsl:value-of select=\"((\"/>"), "<Inv/>"), StylesheetFailed);
}

TEST_F(Transform, MalformedDocumentOrRuntimeErrorFailsTheTransform) {
  EXPECT_EQ(run(kEchoName, "<Inv>a & b</Inv>"), TransformFailed);
  EXPECT_EQ(run(kEchoName, "<Inv>"), TransformFailed);
  EXPECT_EQ(run(kEchoName, "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><Inv>&a;</Inv>"), TransformFailed);
  EXPECT_EQ(run(kEchoName, "<Inv>&undefined;</Inv>"), TransformFailed);
  EXPECT_EQ(run(textStylesheet("partial<xsl:message terminate=\"yes\">stop</xsl:message>"), "<Inv/>"),
            TransformFailed);
}

}  // namespace
}  // namespace qrv::cim
