// Which machine and namespace a path may name before the host answers it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "host/cim/ComputerName.h"
#include "host/cim/ObjectPathPlace.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {
namespace {

std::optional<PlaceRefusal> refusalOf(const std::string& path) {
  return placeRefusal(parseObjectPath(path), "root\\cimv2");
}

std::string hostName() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

TEST(ObjectPathPlace, ThisMachineAndTheServedNamespaceAreTakenInEverySpelling) {
  for (const std::string& path :
       {std::string("Disk"), std::string(R"(\\.\root\cimv2:Disk)"), std::string(R"(\\LocalHost\ROOT\CIMV2:Disk)"),
        std::string("//./root/cimv2:Disk"), std::string(R"(root\cimv2:Disk="x")"),
        R"(\\)" + hostName() + R"(\root\cimv2:Disk)", R"(\\)" + computerName() + R"(\root\cimv2:Disk)"}) {
    EXPECT_FALSE(refusalOf(path)) << path;
  }
}

// Another machine is refused as WMI refuses one it cannot reach; the server
// is judged first, as WMI has to reach it before it can look for the
// namespace.
TEST(ObjectPathPlace, AnotherServerCannotBeReachedAndAnotherNamespaceIsNotServed) {
  const auto server = refusalOf(R"(\\server01\root\cimv3:Disk.DeviceID="sdb")");
  ASSERT_TRUE(server);
  EXPECT_EQ(server->result, static_cast<HRESULT>(0x800706BAu));
  EXPECT_EQ(server->reason, "the path names the server server01, and this host reaches no other machine");
  EXPECT_TRUE(refusalOf(R"(\\127.0.0.2\root\cimv2:Disk)"));

  const auto nameSpace = refusalOf(R"(\\.\root\cimv3:Disk.DeviceID="sdb")");
  ASSERT_TRUE(nameSpace);
  EXPECT_EQ(nameSpace->result, hr(WBEM_E_INVALID_NAMESPACE));
  EXPECT_EQ(nameSpace->reason, "the path names the namespace root\\cimv3, and this host serves root\\cimv2");
  EXPECT_TRUE(refusalOf("root:Disk"));
  EXPECT_TRUE(refusalOf(R"(root\cimv2\sub:Disk)"));
}

}  // namespace
}  // namespace wmihost::test
