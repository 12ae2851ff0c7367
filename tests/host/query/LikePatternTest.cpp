// LIKE patterns: each wildcard, sets and ranges, case, and patterns that
// would take exponential time with naive backtracking.

#include <gtest/gtest.h>

#include <string>

#include "host/query/LikePattern.h"

namespace wmihost {
namespace {

TEST(LikePattern, MatchesAsWmiDoes) {
  struct Case {
    std::u16string pattern;
    std::u16string text;
    bool matches;
  };
  const Case cases[] = {
      {u"", u"", true},
      {u"", u"a", false},
      {u"%", u"", true},
      {u"%%", u"anything", true},
      {u"abc", u"ABC", true},
      {u"abc", u"abcd", false},
      {u"a_c", u"abc", true},
      {u"a_c", u"ac", false},
      {u"a%c", u"ac", true},
      {u"a%c", u"abbbc", true},
      {u"a%c", u"abbbcd", false},
      {u"%c%c", u"xcxc", true},
      {u"%b", u"abab", true},
      {u"[abc]x", u"Bx", true},
      {u"[a-c]x", u"dx", false},
      {u"[z-a]", u"m", true},
      {u"[^a-c]x", u"dx", true},
      {u"[^a-c]x", u"ax", false},
      {u"[%_]", u"%", true},
      {u"[%_]", u"x", false},
      {u"100[%]", u"100%", true},
      {u"[[]x]", u"[x]", true},
      {u"\u00c9t\u00c9", u"\u00e9t\u00e9", true},
      {u"\u0416%", u"\u0436\u0443\u043a", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LikePattern(c.pattern, 1).matches(c.text), c.matches)
        << std::string(c.pattern.begin(), c.pattern.end()) << " / " << std::string(c.text.begin(), c.text.end());
  }
}

TEST(LikePattern, ManyRunsOverALongTextEndQuickly) {
  // Naive backtracking tries every split of the text among the runs here.
  std::u16string pattern;
  for (int i = 0; i < 30; ++i) pattern += u"%a";
  pattern += u"%b";
  const std::u16string text(20000, u'a');
  EXPECT_FALSE(LikePattern(pattern, 1).matches(text));
  EXPECT_TRUE(LikePattern(pattern, 1).matches(text + u"b"));
}

}  // namespace
}  // namespace wmihost
