#include <gtest/gtest.h>

#include <string>

#include "provider/request/xslt/FileUrl.h"

namespace qrv::cim {
namespace {

TEST(FileUrl, EscapesOnlyWhatAUrlWouldTakeApart) {
  EXPECT_EQ(fileUrl("/opt/a b/\xC3\xBC%20#1?.xsl"), "file:///opt/a b/\xC3\xBC%2520%231%3F.xsl");
  EXPECT_EQ(fileUrl("C:\\Vendor/xslroot/c.xsl"), "file:///C:/Vendor/xslroot/c.xsl");
}

}  // namespace
}  // namespace qrv::cim
