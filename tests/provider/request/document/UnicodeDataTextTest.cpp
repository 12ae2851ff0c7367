#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/UnicodeDataText.h"
#include "tests/provider/request/Utf16Bytes.h"

namespace qrv::cim {
namespace {

TEST(Utf16LeToUtf8, ConvertsPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(utf16LeToUtf8(test::utf16(u"A\u00E9\u20AC\U0001F600")), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(utf16LeToUtf8(test::utf16(std::u16string{0xD800, 0xD800, 0xDE00, 0xDC00, u'b'})),
            replacement + "\xF0\x90\x88\x80" + replacement + "b");
  EXPECT_EQ(utf16LeToUtf8(test::utf16(std::u16string(1, 0xD800)) + "x"), replacement);
}

}  // namespace
}  // namespace qrv::cim
