#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/HostName.h"
#include "provider/request/document/RequestHeader.h"

namespace qrv::cim {
namespace {

TEST(WriteHeader, EnumerationDocumentIsExactAndUnescaped) {
  EXPECT_EQ(writeRequestHeader("enumerate", "C", "N", "") + "</QRVCIM>",
            "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM "
            "cim-operation=\"enumerate\" creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"" +
                hostName() + "\" user-name=\"\"></QRVCIM>");
  const std::string header = writeRequestHeader("get", "C&\"", "N", "u&\"");
  EXPECT_NE(header.find("creation-class-name=\"C&\"\""), std::string::npos);
  EXPECT_NE(header.find("user-name=\"u&\"\">"), std::string::npos);
}

}  // namespace
}  // namespace qrv::cim
