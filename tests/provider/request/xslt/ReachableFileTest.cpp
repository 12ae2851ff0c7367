#include <gtest/gtest.h>

#include <string>

#include "provider/request/xslt/ReachableFile.h"

namespace qrv::cim {
namespace {

const std::string kRoot = "/opt/korvex/xslroot";

std::string reached(const std::string& url, const std::string& root = kRoot) {
  const FileReach reach = reachFile(url, root);
  EXPECT_EQ(reach.refusal, "") << url;
  return reach.path;
}

std::string refusal(const std::string& url) {
  const FileReach reach = reachFile(url, kRoot);
  EXPECT_EQ(reach.path, "") << url;
  return reach.refusal;
}

// The path is the root as given, then the names below it: "." and ".."
// segments that stay below the root resolved, escapes decoded, either slash.
TEST(ReachableFile, AFileBelowTheRootIsReachedByItsPath) {
  EXPECT_EQ(reached("file:///opt/korvex/xslroot/inv/xsl/a.xsl"), "/opt/korvex/xslroot/inv/xsl/a.xsl");
  EXPECT_EQ(reached("file:///opt/korvex/xslroot/inv/xsl/../data/./d.xml"), "/opt/korvex/xslroot/inv/data/d.xml");
  EXPECT_EQ(reached("file:/opt/korvex//xslroot\\inv\\d.xml"), "/opt/korvex/xslroot/inv/d.xml");
  EXPECT_EQ(reached("file:///opt/korvex/xslroot/a%20b/%25.xml"), "/opt/korvex/xslroot/a b/%.xml");
  EXPECT_EQ(reached("file:///opt/korvex/xslroot/a.xml", "/opt/korvex/bin/../xslroot/"),
            "/opt/korvex/bin/../xslroot//a.xml");
}

TEST(ReachableFile, AnAddressOnTheNetworkIsNoLocalFile) {
  for (const char* url : {"http://127.0.0.1:8080/a.xsl", "https://example.com/a.xsl", "ftp://example.com/a.xml",
                          "file://example.com/opt/korvex/xslroot/a.xsl", "/opt/korvex/xslroot/a.xsl", ""}) {
    EXPECT_EQ(refusal(url), "is no local file") << url;
  }
}

TEST(ReachableFile, AFileOutsideTheRootIsRefused) {
  for (const char* url : {"file:///etc/passwd", "file:///opt/korvex/xslroot/../../../etc/passwd",
                          "file:///opt/korvex/xslroot/inv/%2e%2e/%2E%2E/secret.xml",
                          "file:///opt/korvex/xslroot%2f..%2fsecret.xml", "file:///opt/korvex/xslroot\\..\\secret.xml",
                          "file:///opt/korvex/xslroot2/a.xsl", "file:///opt/korvex/xslroot", "file:///opt/korvex/xslroot/.",
                          "file:///opt/korvex/xslroot/inv/../"}) {
    EXPECT_EQ(refusal(url), "lies outside /opt/korvex/xslroot") << url;
  }
}

// A zero byte would end the name the file is opened by before the part that was checked.
TEST(ReachableFile, ANameWithAZeroByteIsRefused) {
  EXPECT_EQ(refusal("file:///opt/korvex/xslroot/a.xml%00/../../../etc/passwd"), "names no plain file");
}

}  // namespace
}  // namespace qrv::cim
