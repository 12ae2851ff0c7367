#include <gtest/gtest.h>

#include <string>

#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {
namespace {

TEST(EscapeXml, ReplacesTheFiveCharactersEvenInsideReferences) {
  EXPECT_EQ(escapeXml("a<b&c>'\""), "a&lt;b&amp;c&gt;&apos;&quot;");
  EXPECT_EQ(escapeXml("&amp;\xC3\xA9"), "&amp;amp;\xC3\xA9");
}

TEST(EscapeXml, UnescapingGivesBackWhatWasEscaped) {
  const std::string text = "&amp;&lt;\"'<>& x;\xC3\xA9";
  EXPECT_EQ(unescapeXml(escapeXml(text)), text);
  EXPECT_EQ(unescapeXml("&amp;lt; &#38; &unknown; &"), "&lt; &#38; &unknown; &");
}

}  // namespace
}  // namespace qrv::cim
