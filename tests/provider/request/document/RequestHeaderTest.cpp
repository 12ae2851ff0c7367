#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/HostName.h"
#include "provider/request/document/RequestHeader.h"

namespace qrv::cim {
namespace {

TEST(WriteHeader, EnumerationDocumentIsExactAndEveryValueEscaped) {
  EXPECT_EQ(writeRequestHeader("enumerate", "C", "N", "") + "</QRVCIM>",
            "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM "
            "cim-operation=\"enumerate\" creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"" +
                hostName() + "\" user-name=\"\"></QRVCIM>");
  const std::string header = writeRequestHeader("g<t", "C&\"", "N'>", "u&\"");
  EXPECT_NE(header.find("cim-operation=\"g&lt;t\""), std::string::npos);
  EXPECT_NE(header.find("creation-class-name=\"C&amp;&quot;\""), std::string::npos);
  EXPECT_NE(header.find("creation-class-namespace=\"N&apos;&gt;\""), std::string::npos);
  EXPECT_NE(header.find("user-name=\"u&amp;&quot;\">"), std::string::npos);
}

}  // namespace
}  // namespace qrv::cim
