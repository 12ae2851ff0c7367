#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/ArrayElementXml.h"

namespace qrv::cim {
namespace {

TEST(WriteArrayElements, CutsAtBracesAndCommasWithoutQuoting) {
  EXPECT_EQ(writeArrayElements("{1, \"2\",,3}"),
            "<ArrayElement value=\"1\"/><ArrayElement value=\"2\"/><ArrayElement value=\"3\"/>");
  EXPECT_EQ(writeArrayElements("{}"), "");
  EXPECT_EQ(writeArrayElements("{\"a,b\"}x<"),
            "<ArrayElement value=\"a\"/><ArrayElement value=\"b\"/><ArrayElement value=\"x&lt;\"/>");
}

}  // namespace
}  // namespace qrv::cim
