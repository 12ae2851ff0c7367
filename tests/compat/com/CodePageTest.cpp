#include <gtest/gtest.h>

#include <string>

#include "common/com/WmiSdk.h"

namespace {

// Converts the whole of text, measuring first as callers do.
std::u16string widen(const std::string& text, DWORD flags = 0) {
  const int size =
      MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(size), u'?');
  if (size > 0)
    MultiByteToWideChar(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string narrow(const std::u16string& text, DWORD flags = 0) {
  const int size = WideCharToMultiByte(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '?');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, flags, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
  }
  return bytes;
}

TEST(MultiByteToWideChar, MinusOneCountsAndWritesTheTerminator) {
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
  WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, buffer, 4), 4);
  EXPECT_EQ(std::u16string(buffer), u"abc");
}

TEST(MultiByteToWideChar, AnExplicitLengthWritesNoTerminatorAndKeepsEmbeddedNuls) {
  WCHAR buffer[5] = {u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_THREAD_ACP, 0, "a\0b", 3, buffer, 5), 3);
  EXPECT_EQ(std::u16string(buffer, 4), std::u16string(u"a\0bx", 4));
}

TEST(MultiByteToWideChar, AShortBufferFailsWithInsufficientBuffer) {
  WCHAR buffer[3];
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, buffer, 3), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(MultiByteToWideChar, BadArgumentsFailWithInvalidParameter) {
  WCHAR buffer[4];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, buffer, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, buffer, 4), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -2, buffer, 4), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, buffer, -1), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(MultiByteToWideChar, DecodesEveryUtf8Length) {
  EXPECT_EQ(widen("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00E9\u20AC\U0001F600");
  EXPECT_EQ(widen("\xF0\x9F\x98\x80").size(), 2u);  // a surrogate pair
}

TEST(MultiByteToWideChar, ReplacesEachIllFormedSequenceByOneReplacementCharacter) {
  EXPECT_EQ(widen("\xFF"), u"\uFFFD");
  EXPECT_EQ(widen("a\xE2\x82"), u"a\uFFFD");                // truncated at the end
  EXPECT_EQ(widen("\xE2\x82z"), u"\uFFFDz");                // truncated before a letter
  EXPECT_EQ(widen("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(widen("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
  EXPECT_EQ(widen("\xF4\x90\x80\x80").size(), 4u);          // beyond U+10FFFF
}

TEST(MultiByteToWideChar, BytesFromTheUpperHalfAreNeverCopiedAsTheyAre) {
  EXPECT_EQ(widen("\x7F\x80"), u"\x7F\uFFFD");
  EXPECT_EQ(widen("\x7F\xC2\x80"), u"\x7F\x80");
}

TEST(MultiByteToWideChar, StrictModeRefusesIllFormedInput) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xC3", 3, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(widen("fine", MB_ERR_INVALID_CHARS), u"fine");
}

TEST(MultiByteToWideChar, Utf8RefusesFlagsThatAnsiCodePagesAccept) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "a", 1, nullptr, 0), 1);
}

TEST(WideCharToMultiByte, MinusOneCountsAndWritesTheTerminator) {
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, nullptr, 0, nullptr, nullptr), 6);
  char buffer[6];
  BOOL usedDefault = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, buffer, 6, nullptr, &usedDefault), 6);
  EXPECT_EQ(std::string(buffer), "\xC3\xA9t\xC3\xA9");
  EXPECT_FALSE(usedDefault);
}

TEST(WideCharToMultiByte, AsciiTextIsCopiedUnitForUnitWithTheSameChecks) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  BOOL usedDefault = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a\0~", 3, buffer, 4, nullptr, &usedDefault), 3);
  EXPECT_EQ(std::string(buffer, 4), std::string("a\0~x", 4));
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"abc", -1, buffer, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(narrow(u"\x7F\x80"), "\x7F\xC2\x80");
}

TEST(WideCharToMultiByte, AShortBufferFailsWithInsufficientBuffer) {
  char buffer[2];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", 1, buffer, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(WideCharToMultiByte, RoundTripsSurrogatePairsAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(narrow(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(narrow(std::u16string(1, u'\xD83D') + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(narrow(std::u16string(1, u'\xDE00')), "\xEF\xBF\xBD");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD83D", 1, nullptr, 0, nullptr, nullptr),
            0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(WideCharToMultiByte, Utf8RefusesADefaultCharacter) {
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, nullptr, &usedDefault), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
