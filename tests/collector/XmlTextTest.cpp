#include "collector/XmlText.h"

#include <gtest/gtest.h>

#include "common/text/Utf16Le.h"

namespace collector {
namespace {

using namespace std::string_literals;

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(XmlAttributeText, EscapesTheMarkupCharacters) {
  EXPECT_EQ(xmlAttributeText("Smith & Sons <\"x\"> 'y'"), "Smith &amp; Sons &lt;&quot;x&quot;&gt; 'y'");
  EXPECT_EQ(xmlAttributeText("&amp;"), "&amp;amp;") << "an existing reference is text like any other";
}

TEST(XmlAttributeText, KeepsTabsAndLineEndsAsCharacterReferences) {
  EXPECT_EQ(xmlAttributeText("a\tb\nc\rd"), "a&#9;b&#10;c&#13;d");
}

TEST(XmlAttributeText, ReplacesControlCharactersXmlDoesNotAllow) {
  EXPECT_EQ(xmlAttributeText("a\0b\x01\x1F\x7F"s), "a" + kReplacement + "b" + kReplacement + kReplacement + "\x7F");
  EXPECT_EQ(xmlAttributeText("\xEF\xBF\xBE\xEF\xBF\xBF"), kReplacement + kReplacement) << "U+FFFE and U+FFFF";
}

TEST(XmlAttributeText, KeepsWellFormedUtf8AndReplacesIllFormedSequences) {
  EXPECT_EQ(xmlAttributeText("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(xmlAttributeText("a\xFF" "b"), "a" + kReplacement + "b");
  EXPECT_EQ(xmlAttributeText("\xC3"), kReplacement) << "cut short";
  EXPECT_EQ(xmlAttributeText("\xED\xA0\x80"), kReplacement + kReplacement + kReplacement)
      << "an encoded surrogate";
}

TEST(XmlAttributeText, UnpairedSurrogatesOfWideTextBecomeReplacements) {
  // The path of Windows' text: UTF-16 to UTF-8, then into the attribute.
  const std::u16string wide = u"A\xD800" u"B\xDC00" u"\xD83D\xDE00";
  EXPECT_EQ(xmlAttributeText(qrv::text::utf8FromUtf16(wide)),
            "A" + kReplacement + "B" + kReplacement + "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace collector
