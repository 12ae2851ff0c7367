#include <gtest/gtest.h>

#include <string>

#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {
namespace {

TEST(EscapeXml, ReplacesTheFiveCharactersEvenInsideReferences) {
  EXPECT_EQ(escapeXml("a<b&c>'\""), "a&lt;b&amp;c&gt;&apos;&quot;");
  EXPECT_EQ(escapeXml("&amp;\xC3\xA9"), "&amp;amp;\xC3\xA9");
}

}  // namespace
}  // namespace qrv::cim
