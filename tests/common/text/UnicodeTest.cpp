#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text/Unicode.h"

namespace qrv::unicode {
namespace {

// What decoding a whole text one code point at a time gives.
struct Decoded {
  std::u32string codePoints;
  std::vector<std::size_t> lengths;  // the units each code point took
  bool invalid = false;
};

Decoded decodeAllUtf8(const std::string& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  Decoded decoded;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t next = decodeUtf8(bytes, text.size(), i, &codePoint, &decoded.invalid);
    decoded.codePoints += codePoint;
    decoded.lengths.push_back(next - i);
    i = next;
  }
  return decoded;
}

Decoded decodeAllUtf16(const std::u16string& text) {
  Decoded decoded;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t next = decodeUtf16(text.data(), text.size(), i, &codePoint, &decoded.invalid);
    decoded.codePoints += codePoint;
    decoded.lengths.push_back(next - i);
    i = next;
  }
  return decoded;
}

using Lengths = std::vector<std::size_t>;

// The first and last code point of every UTF-8 length, and the ends of the
// UTF-16 ranges.
const char32_t kBoundaries[] = {0x0, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFF, 0x10000, 0x10FFFF};

TEST(DecodeUtf8, DecodesTheFirstAndLastCodePointOfEveryLength) {
  const Decoded decoded = decodeAllUtf8(
      "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"
      "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
  EXPECT_EQ(decoded.codePoints, U"\x7F\x80\x7FF\x800\xFFFF\x10000\x10FFFF");
  EXPECT_EQ(decoded.lengths, (Lengths{1, 2, 2, 3, 3, 4, 4}));
  EXPECT_FALSE(decoded.invalid);
}

TEST(DecodeUtf8, StartsAtTheIndexGiven) {
  const std::string text = "a\xE2\x82\xAC";
  char32_t codePoint = 0;
  bool invalid = false;
  EXPECT_EQ(decodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1, &codePoint, &invalid), 4u);
  EXPECT_EQ(codePoint, U'\x20AC');
}

TEST(DecodeUtf8, RefusesOverlongFormsByTheirFirstByte) {
  for (const char* text :
       {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF"}) {
    const Decoded decoded = decodeAllUtf8(text);
    EXPECT_TRUE(decoded.invalid) << text;
    EXPECT_EQ(decoded.codePoints, std::u32string(decoded.lengths.size(), kReplacement)) << text;
    EXPECT_EQ(decoded.lengths, Lengths(decoded.lengths.size(), 1)) << text;
  }
}

TEST(DecodeUtf8, RefusesEncodedSurrogatesAndCodePointsBeyondTheLast) {
  EXPECT_EQ(decodeAllUtf8("\xED\xA0\x80").codePoints, U"\xFFFD\xFFFD\xFFFD");
  EXPECT_EQ(decodeAllUtf8("\xED\xBF\xBF").codePoints, U"\xFFFD\xFFFD\xFFFD");
  EXPECT_EQ(decodeAllUtf8("\xED\x9F\xBF").codePoints, U"\xD7FF");  // the last code point before them
  EXPECT_EQ(decodeAllUtf8("\xF4\x90\x80\x80").codePoints, U"\xFFFD\xFFFD\xFFFD\xFFFD");
  EXPECT_EQ(decodeAllUtf8("\xF5\x80\x80\x80").lengths, (Lengths{1, 1, 1, 1}));
  EXPECT_EQ(decodeAllUtf8("\xFF\xFE").codePoints, U"\xFFFD\xFFFD");
}

TEST(DecodeUtf8, ASequenceCutShortIsOneReplacementForItsWholePrefix) {
  const Decoded atTheEnd = decodeAllUtf8("a\xF0\x9F\x98");
  EXPECT_EQ(atTheEnd.codePoints, U"a\xFFFD");
  EXPECT_EQ(atTheEnd.lengths, (Lengths{1, 3}));
  EXPECT_TRUE(atTheEnd.invalid);

  const Decoded beforeALetter = decodeAllUtf8("\xE2\x82z");
  EXPECT_EQ(beforeALetter.codePoints, U"\xFFFDz");
  EXPECT_EQ(beforeALetter.lengths, (Lengths{2, 1}));

  const Decoded beforeALead = decodeAllUtf8("\xE2\xC3\xA9");
  EXPECT_EQ(beforeALead.codePoints, U"\xFFFD\xE9");
  EXPECT_EQ(beforeALead.lengths, (Lengths{1, 2}));
}

TEST(DecodeUtf8, AContinuationByteWithoutALeadIsReplacedAlone) {
  const Decoded decoded = decodeAllUtf8("\x80\xBFz");
  EXPECT_EQ(decoded.codePoints, U"\xFFFD\xFFFDz");
  EXPECT_EQ(decoded.lengths, (Lengths{1, 1, 1}));
}

TEST(DecodeUtf8, WellFormedTextLeavesTheInvalidFlagAlone) {
  EXPECT_FALSE(decodeAllUtf8("plain \xC3\xA9\xE2\x82\xAC").invalid);
  EXPECT_FALSE(decodeAllUtf8(std::string("\0", 1)).invalid);
}

TEST(DecodeUtf16, DecodesSurrogatePairsFromTheFirstToTheLast) {
  const Decoded decoded = decodeAllUtf16(u"\xD800\xDC00\xDBFF\xDFFF\xD83D\xDE00");
  EXPECT_EQ(decoded.codePoints, U"\x10000\x10FFFF\x1F600");
  EXPECT_EQ(decoded.lengths, (Lengths{2, 2, 2}));
  EXPECT_FALSE(decoded.invalid);
}

TEST(DecodeUtf16, UnitsNextToTheSurrogatesAreCodePointsOfTheirOwn) {
  const Decoded decoded = decodeAllUtf16(u"\xD7FF\xE000\xFFFF");
  EXPECT_EQ(decoded.codePoints, U"\xD7FF\xE000\xFFFF");
  EXPECT_FALSE(decoded.invalid);
}

TEST(DecodeUtf16, ALoneSurrogateIsReplacedAndTheNextUnitKept) {
  EXPECT_EQ(decodeAllUtf16(u"\xD800").codePoints, U"\xFFFD");                     // a high one at the end
  EXPECT_EQ(decodeAllUtf16(u"\xD800z").codePoints, U"\xFFFDz");                   // before a letter
  EXPECT_EQ(decodeAllUtf16(u"\xDC00\xD800").codePoints, U"\xFFFD\xFFFD");         // a pair in reverse
  EXPECT_EQ(decodeAllUtf16(u"\xD800\xD800\xDC00").codePoints, U"\xFFFD\x10000");  // then a pair
  const Decoded low = decodeAllUtf16(u"\xDFFFz");
  EXPECT_EQ(low.codePoints, U"\xFFFDz");
  EXPECT_EQ(low.lengths, (Lengths{1, 1}));
  EXPECT_TRUE(low.invalid);
}

TEST(AppendUtf8, EncodesTheFirstAndLastCodePointOfEveryLength) {
  std::string out;
  for (const char32_t codePoint : {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF}) appendUtf8(out, codePoint);
  EXPECT_EQ(out, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
}

TEST(AppendUtf16, EncodesBeyondTheBasicPlaneAsAPair) {
  std::u16string out;
  for (const char32_t codePoint : {0xFFFF, 0x10000, 0x1F600, 0x10FFFF}) appendUtf16(out, codePoint);
  EXPECT_EQ(out, u"\xFFFF\xD800\xDC00\xD83D\xDE00\xDBFF\xDFFF");
}

TEST(Unicode, EveryBoundaryCodePointSurvivesBothEncodings) {
  for (const char32_t codePoint : kBoundaries) {
    std::string utf8;
    appendUtf8(utf8, codePoint);
    std::u16string utf16;
    appendUtf16(utf16, codePoint);
    const Decoded fromUtf8 = decodeAllUtf8(utf8);
    const Decoded fromUtf16 = decodeAllUtf16(utf16);
    EXPECT_EQ(fromUtf8.codePoints, std::u32string(1, codePoint)) << std::hex << codePoint;
    EXPECT_EQ(fromUtf16.codePoints, std::u32string(1, codePoint)) << std::hex << codePoint;
    EXPECT_FALSE(fromUtf8.invalid || fromUtf16.invalid) << std::hex << codePoint;
  }
}

TEST(IsWellFormedUtf8, AcceptsAsciiAndWholeSequencesOnly) {
  EXPECT_TRUE(isWellFormedUtf8(""));
  EXPECT_TRUE(isWellFormedUtf8("Korvex T\xC3\xABst \xE2\x9C\x93"));
  EXPECT_FALSE(isWellFormedUtf8("T\xEBst"));          // Latin-1 text
  EXPECT_FALSE(isWellFormedUtf8("cut \xE2\x9C"));      // a sequence cut short at the end
  EXPECT_FALSE(isWellFormedUtf8("\xED\xA0\x80"));      // an encoded surrogate
  EXPECT_FALSE(isWellFormedUtf8(std::string_view("a\0\xFF", 3)));  // past a NUL too
}

}  // namespace
}  // namespace qrv::unicode
