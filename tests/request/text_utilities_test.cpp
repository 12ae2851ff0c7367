#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "provider/request/ArrayElements.h"
#include "provider/request/EscapeXml.h"
#include "provider/request/FileUrl.h"
#include "provider/request/HostName.h"
#include "provider/request/StringTokenizer.h"
#include "provider/request/Trim.h"
#include "provider/request/Utf16.h"

namespace qrv::cim {
namespace {

std::vector<std::string> pieces(std::string_view source, const std::string& delimiters, TokenizerMode mode) {
  std::vector<std::string> result;
  StringTokenizer tokenizer(source, delimiters, mode);
  while (tokenizer.hasMore()) result.emplace_back(tokenizer.next());
  return result;
}

using Pieces = std::vector<std::string>;

TEST(StringTokenizer, AnyOfGivesOnePieceMoreThanSeparators) {
  EXPECT_EQ(pieces("a;b\nc", ";\n", TokenizerMode::AnyOf), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(pieces(";;", ";", TokenizerMode::AnyOf), (Pieces{"", "", ""}));
  EXPECT_EQ(pieces("a;", ";", TokenizerMode::AnyOf), (Pieces{"a", ""}));
  EXPECT_EQ(pieces("abc", ";", TokenizerMode::AnyOf), (Pieces{"abc"}));
}

TEST(StringTokenizer, WholeStringSeparatesOnlyOnTheCompleteDelimiter) {
  EXPECT_EQ(pieces("xinstance ofyinstance", "instance of", TokenizerMode::WholeString),
            (Pieces{"x", "yinstance"}));
  EXPECT_EQ(pieces("ababab", "ab", TokenizerMode::WholeString), (Pieces{"", "", "", ""}));
}

TEST(StringTokenizer, EmptySourceOrDelimitersGiveNothing) {
  EXPECT_TRUE(pieces("", ";", TokenizerMode::AnyOf).empty());
  EXPECT_TRUE(pieces("abc", "", TokenizerMode::WholeString).empty());
  StringTokenizer done("", ";", TokenizerMode::AnyOf);
  EXPECT_EQ(done.next(), "");
}

TEST(Trim, DropsSetCharactersOnTheChosenSides) {
  EXPECT_EQ(trim(" \"a b\" ", " \"", TrimSide::Both), "a b");
  EXPECT_EQ(trim("  a  ", " ", TrimSide::Left), "a  ");
  EXPECT_EQ(trim("  a  ", " ", TrimSide::Right), "  a");
  EXPECT_EQ(trim(" \t \t", " \t", TrimSide::Both), "");
  EXPECT_EQ(trim("", " ", TrimSide::Both), "");
}

TEST(EscapeXml, ReplacesTheFiveCharactersInOnePass) {
  EXPECT_EQ(escapeXml("a<b&c>'\""), "a&lt;b&amp;c&gt;&apos;&quot;");
  EXPECT_EQ(escapeXml("&amp;"), "&amp;amp;");
  EXPECT_EQ(escapeXml(std::string("x\0y\xC3\xA9", 5)), std::string("x\0y\xC3\xA9", 5));
}

TEST(WriteArrayElements, CutsAtBracesAndCommasAndDropsEmptyPieces) {
  EXPECT_EQ(writeArrayElements("{1, \"2\",,3}"),
            "<ArrayElement value=\"1\"/><ArrayElement value=\"2\"/><ArrayElement value=\"3\"/>");
  EXPECT_EQ(writeArrayElements("{}"), "");
  EXPECT_EQ(writeArrayElements("{\"a,b\"}"), "<ArrayElement value=\"a\"/><ArrayElement value=\"b\"/>");
  EXPECT_EQ(writeArrayElements("{x}y"), "<ArrayElement value=\"x\"/><ArrayElement value=\"y\"/>");
  EXPECT_EQ(writeArrayElements("{a<b}"), "<ArrayElement value=\"a&lt;b\"/>");
}

TEST(FileUrl, EscapesOnlyWhatAUrlWouldTakeApart) {
  EXPECT_EQ(fileUrl("/opt/a b/x%20#1?.xsl"), "file:///opt/a b/x%2520%231%3F.xsl");
  EXPECT_EQ(fileUrl("/opt/\xC3\xBC/x.xsl"), "file:///opt/\xC3\xBC/x.xsl");
  EXPECT_EQ(fileUrl("C:\\Program Files\\Vendor/xslroot/a/b/c.xsl"),
            "file:///C:/Program Files/Vendor/xslroot/a/b/c.xsl");
}

std::string utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(Utf16LeToUtf8, ConvertsEveryPlane) {
  EXPECT_EQ(utf16LeToUtf8(utf16(u"A\u00E9\u20AC\U0001F600")), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16LeToUtf8(utf16(u"\uFEFF")), "\xEF\xBB\xBF");
}

TEST(Utf16LeToUtf8, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(utf16LeToUtf8(utf16(u"a") + utf16(std::u16string(1, 0xD800))), "a" + replacement);
  EXPECT_EQ(utf16LeToUtf8(utf16(std::u16string{0xDC00, u'b'})), replacement + "b");
  EXPECT_EQ(utf16LeToUtf8(utf16(std::u16string{0xD800, 0xD800, 0xDE00})), replacement + "\xF0\x90\x88\x80");
}

TEST(Utf16LeToUtf8, IgnoresAnOddLastByte) { EXPECT_EQ(utf16LeToUtf8(std::string("A\0B", 3)), "A"); }

TEST(HostName, ConcurrentFirstCallsAllSeeTheSameCompleteName) {
  std::vector<std::string> names(8);
  std::vector<std::thread> threads;
  for (auto& name : names) threads.emplace_back([&name] { name = hostName(); });
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(names.front().empty());
  for (const auto& name : names) EXPECT_EQ(name, names.front());
  EXPECT_EQ(hostName(), names.front());
}

}  // namespace
}  // namespace qrv::cim
