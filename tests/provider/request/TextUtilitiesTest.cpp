#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "provider/request/ArrayElementXml.h"
#include "provider/request/EscapeXml.h"
#include "provider/request/FileUrl.h"
#include "provider/request/HostName.h"
#include "provider/request/StringTokenizer.h"
#include "provider/request/UnicodeDataText.h"
#include "tests/provider/request/Utf16Bytes.h"

namespace qrv::cim {
namespace {

using Pieces = std::vector<std::string>;

Pieces pieces(std::string_view source, const std::string& delimiters, TokenizerMode mode) {
  Pieces result;
  StringTokenizer tokenizer(source, delimiters, mode);
  while (tokenizer.hasMore()) result.emplace_back(tokenizer.next());
  return result;
}

TEST(StringTokenizer, NSeparatorsGiveNPlusOnePieces) {
  EXPECT_EQ(pieces("a;b\nc", ";\n", TokenizerMode::AnyOf), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(pieces(";a;", ";", TokenizerMode::AnyOf), (Pieces{"", "a", ""}));
  EXPECT_EQ(pieces("xinstance ofyinstance", "instance of", TokenizerMode::WholeString), (Pieces{"x", "yinstance"}));
  EXPECT_EQ(pieces("abab", "ab", TokenizerMode::WholeString), (Pieces{"", "", ""}));
  EXPECT_TRUE(pieces("", ";", TokenizerMode::AnyOf).empty());
  EXPECT_TRUE(pieces("abc", "", TokenizerMode::WholeString).empty());
}

TEST(EscapeXml, ReplacesTheFiveCharactersEvenInsideReferences) {
  EXPECT_EQ(escapeXml("a<b&c>'\""), "a&lt;b&amp;c&gt;&apos;&quot;");
  EXPECT_EQ(escapeXml("&amp;\xC3\xA9"), "&amp;amp;\xC3\xA9");
}

TEST(WriteArrayElements, CutsAtBracesAndCommasWithoutQuoting) {
  EXPECT_EQ(writeArrayElements("{1, \"2\",,3}"),
            "<ArrayElement value=\"1\"/><ArrayElement value=\"2\"/><ArrayElement value=\"3\"/>");
  EXPECT_EQ(writeArrayElements("{}"), "");
  EXPECT_EQ(writeArrayElements("{\"a,b\"}x<"),
            "<ArrayElement value=\"a\"/><ArrayElement value=\"b\"/><ArrayElement value=\"x&lt;\"/>");
}

TEST(Utf16LeToUtf8, ConvertsPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(utf16LeToUtf8(test::utf16(u"A\u00E9\u20AC\U0001F600")), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(utf16LeToUtf8(test::utf16(std::u16string{0xD800, 0xD800, 0xDE00, 0xDC00, u'b'})),
            replacement + "\xF0\x90\x88\x80" + replacement + "b");
  EXPECT_EQ(utf16LeToUtf8(test::utf16(std::u16string(1, 0xD800)) + "x"), replacement);
}

TEST(FileUrl, EscapesOnlyWhatAUrlWouldTakeApart) {
  EXPECT_EQ(fileUrl("/opt/a b/\xC3\xBC%20#1?.xsl"), "file:///opt/a b/\xC3\xBC%2520%231%3F.xsl");
  EXPECT_EQ(fileUrl("C:\\Vendor/xslroot/c.xsl"), "file:///C:/Vendor/xslroot/c.xsl");
}

TEST(HostName, ConcurrentFirstCallsAllSeeTheSameCompleteName) {
  std::vector<std::string> names(8);
  std::vector<std::thread> threads;
  for (auto& name : names) threads.emplace_back([&name] { name = hostName(); });
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(names.front().empty());
  for (const auto& name : names) EXPECT_EQ(name, names.front());
}

}  // namespace
}  // namespace qrv::cim
