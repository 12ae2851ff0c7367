#include <gtest/gtest.h>

#include <string>

#include "common/com/TextConversion.h"

namespace qrv::com {
namespace {

using namespace std::string_literals;

TEST(ToWide, ConvertsAsciiAndEveryUtf8Length) {
  EXPECT_EQ(toWide("Win32_Process"), u"Win32_Process");
  EXPECT_EQ(toWide("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00E9\u20AC\U0001F600");
  EXPECT_EQ(toWide(""), u"");
}

TEST(ToWide, BytesFromTheUpperHalfAreNeverTakenForAscii) {
  EXPECT_EQ(toWide("\xC3\xA9"), u"\u00E9");
  EXPECT_EQ(toWide("a\x7F\xFFz\xC3\xA9"), u"a\x7F\xFFFDz\u00E9");
}

TEST(ToWide, EndsAtTheFirstNul) {
  EXPECT_EQ(toWide("ab\0cd"s), u"ab");
  EXPECT_EQ(toWide("\xC3\xA9\0\xC3\xA9"s), u"\u00E9");
  EXPECT_EQ(toWide("\0abc"s), u"");
}

TEST(ToUtf8, ConvertsAsciiAndEveryUtf8Length) {
  EXPECT_EQ(toUtf8(WideTextView(u"root\\cimv2")), "root\\cimv2");
  EXPECT_EQ(toUtf8(WideTextView(u"A\u00E9\u20AC\U0001F600")), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(ToUtf8, TextOfThreeBytesPerUnitFitsWhole) {
  EXPECT_EQ(toUtf8(WideTextView(u"\u20AC\u20AC\u20AC")), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(toUtf8(WideTextView(u"\xDC00\xD800")), "\xEF\xBF\xBD\xEF\xBF\xBD");  // a pair in reverse
}

TEST(ToUtf8, ALoneSurrogateBecomesAReplacement) { EXPECT_EQ(toUtf8(WideTextView(u"a\xD800z")), "a\xEF\xBF\xBDz"); }

TEST(ToUtf8, AViewKeepsEveryUnitAndAPointerEndsAtTheFirstNul) {
  const WCHAR text[] = u"a\0\u00E9";
  EXPECT_EQ(toUtf8(WideTextView(text, 3)), "a\0\xC3\xA9"s);
  EXPECT_EQ(toUtf8(text), "a");
  EXPECT_EQ(toUtf8(static_cast<const WCHAR*>(nullptr)), "");
}

}  // namespace
}  // namespace qrv::com
