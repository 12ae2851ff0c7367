#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/com/WmiSdk.h"

namespace {

DWORD storedPrefix(BSTR text) {
  DWORD prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof(DWORD), sizeof(DWORD));
  return prefix;
}

TEST(Bstr, KeepsItsByteLengthBeforeTheTextAndANulAfterIt) {
  BSTR text = SysAllocString(OLESTR("wexi"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(SysStringByteLen(text), 8u);
  EXPECT_EQ(storedPrefix(text), 8u);
  EXPECT_EQ(std::u16string(text), u"wexi");
  EXPECT_EQ(text[4], u'\0');
  SysFreeString(text);
}

TEST(Bstr, CountsEmbeddedNulsInItsLength) {
  BSTR text = SysAllocStringLen(u"ab\0cd", 5);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 5u);
  EXPECT_EQ(std::u16string(text, SysStringLen(text)), std::u16string(u"ab\0cd", 5));
  EXPECT_EQ(text[5], u'\0');
  SysFreeString(text);
}

TEST(Bstr, WithoutSourceTextIsZeroFilled) {
  BSTR text = SysAllocStringLen(nullptr, 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 3u);
  EXPECT_EQ(std::u16string(text, 3), std::u16string(3, u'\0'));
  SysFreeString(text);
}

TEST(Bstr, OfAnOddByteLengthRoundsItsCharacterLengthDown) {
  BSTR text = SysAllocStringByteLen("abc", 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringByteLen(text), 3u);
  EXPECT_EQ(SysStringLen(text), 1u);
  EXPECT_EQ(std::memcmp(text, "abc\0\0", 5), 0);
  SysFreeString(text);
}

TEST(Bstr, NullStandsForTheEmptyString) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);

  BSTR empty = SysAllocString(OLESTR(""));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(empty);
}

}  // namespace
