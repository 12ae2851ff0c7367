#include <gtest/gtest.h>

#include <string>

#include "common/text/Utf16Le.h"

namespace qrv::text {
namespace {

using namespace std::string_literals;  // byte strings with NULs in them

TEST(Utf16LeUnits, ReadsTheLowByteFirst) { EXPECT_EQ(utf16LeUnits("A\0\x00\xD8\x34\x12"s), u"A\xD800\x1234"); }

TEST(Utf16LeUnits, BytesFromTheUpperHalfAreNotSignExtended) {
  EXPECT_EQ(utf16LeUnits("\xFF\xFE\x80\x00"s), u"\xFEFF\x0080");
}

TEST(Utf16LeUnits, IgnoresAnOddLastByte) {
  EXPECT_EQ(utf16LeUnits("A\0B"s), u"A");
  EXPECT_EQ(utf16LeUnits("x"), u"");
  EXPECT_EQ(utf16LeUnits(""), u"");
}

TEST(DecodeUtf16Le, DecodesEveryUtf8LengthAndSurrogatePairs) {
  EXPECT_EQ(decodeUtf16Le("A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE"s), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(DecodeUtf16Le, ReplacesLoneSurrogatesAndKeepsWhatFollows) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(decodeUtf16Le("\x00\xD8"s), replacement);
  EXPECT_EQ(decodeUtf16Le("\x00\xDCz\0"s), replacement + "z");
  EXPECT_EQ(decodeUtf16Le("\x00\xD8\x00\xD8\x00\xDC"s), replacement + "\xF0\x90\x80\x80");
}

TEST(DecodeUtf16Le, KeepsNulsAndIgnoresAnOddLastByte) { EXPECT_EQ(decodeUtf16Le("a\0\0\0b\0c"s), "a\0b"s); }

TEST(Utf16FromUtf8, GivesUnitsAndPairsBeyondTheBasicPlane) {
  EXPECT_EQ(utf16FromUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\x00E9\x20AC\xD83D\xDE00");
  EXPECT_EQ(utf16FromUtf8("a\0b"s), u"a\0b"s);
  EXPECT_EQ(utf16FromUtf8("\xE2\x82z"), u"\xFFFDz") << "a sequence cut short";
  EXPECT_EQ(utf16FromUtf8(""), u"");
}

TEST(EncodeUtf16Le, WritesTheLowByteFirstAndPairsBeyondTheBasicPlane) {
  EXPECT_EQ(encodeUtf16Le("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), "A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE"s);
  EXPECT_EQ(encodeUtf16Le("a\0b"s), "a\0\0\0b\0"s);
}

TEST(EncodeUtf16Le, EachIllFormedSequenceBecomesOneReplacement) {
  EXPECT_EQ(encodeUtf16Le("\xE2\x82z"), "\xFD\xFFz\0"s);                  // cut short
  EXPECT_EQ(encodeUtf16Le("\xED\xA0\x80"), "\xFD\xFF\xFD\xFF\xFD\xFF"s);  // an encoded surrogate
  EXPECT_EQ(encodeUtf16Le("\xFF"), "\xFD\xFF"s);
}

TEST(Utf16Le, WellFormedTextSurvivesTheRoundTrip) {
  for (const std::string& text :
       {""s, "plain"s, "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"s, "nul\0inside"s}) {
    EXPECT_EQ(decodeUtf16Le(encodeUtf16Le(text)), text);
  }
}

}  // namespace
}  // namespace qrv::text
