#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "provider/request/document/DataFileLimits.h"
#include "provider/request/document/DataFiles.h"
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
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "file.xml", unicode), text), Ok);
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
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "missing.xml", false), text), NotAccessible);
  std::filesystem::create_directories(test::xslRootFile("app/data/directory.xml"));
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "directory.xml", false), text), NotAccessible);
}

// 700 KB of nesting took the transform's parser 21 s per request, and a file
// of any size was read whole; both now fail the request at once.
TEST(ReadDataFile, FilesBeyondTheLimitsFailTheRequest) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  writeXslRootFile("app/data/deep.xml", deep);
  std::string text = "stale";
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "deep.xml", false), text), TransformFailed);
  EXPECT_EQ(text, "");

  std::string allowed;
  for (std::size_t i = 0; i < DataFileLimits::kDefaultMaxDepth; ++i) allowed += "<a x='>' y=\"/>\"><b/>";
  allowed += "<!-- <c> --><![CDATA[<c>]]>";
  EXPECT_TRUE(dataText(allowed) == allowed);

  setenv("KORVEX_DATA_FILE_MAX_BYTES", "100", 1);
  EXPECT_EQ(dataText(std::string(100, ' ')).size(), 100u);
  writeXslRootFile("app/data/big.xml", std::string(101, ' '));
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "big.xml", false), text), TransformFailed);
  unsetenv("KORVEX_DATA_FILE_MAX_BYTES");
  setenv("KORVEX_DATA_FILE_MAX_DEPTH", "2", 1);
  EXPECT_EQ(readDataFile(FileAccessor("app", "data", "deep.xml", false), text), TransformFailed);
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
  EXPECT_EQ(appendDataFiles(op, document), Ok);
  EXPECT_EQ(document, "<R><Two/><One/><W\xC3\xA9/>");

  // A file that fails leaves nothing of itself behind.
  writeXslRootFile("app/data/deep.xml", "<a><a><a></a></a></a>");
  setenv("KORVEX_DATA_FILE_MAX_DEPTH", "2", 1);
  EXPECT_EQ(appendDataFile(FileAccessor("app", "data", "deep.xml", false), document), TransformFailed);
  unsetenv("KORVEX_DATA_FILE_MAX_DEPTH");
  EXPECT_EQ(document, "<R><Two/><One/><W\xC3\xA9/>");

  Get failing;
  failing.addAccessor(new FileAccessor("app", "data", "missing.xml", false));
  failing.addAccessor(new FileAccessor("app", "data", "one.xml", false));
  EXPECT_EQ(appendDataFiles(failing, document), NotAccessible);
}

}  // namespace
}  // namespace qrv::cim
