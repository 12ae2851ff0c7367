// wmihost check on the way from the classes to their providers' modules:
// a sound chain, every broken link reported once with its place, and COM's
// registration left alone when --module names the module.

#include "host/check/ProviderChainCheck.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/TempTree.h"

namespace wmihost {
namespace {

constexpr char kSound[] = R"(class Static { [key] string Name; };
[dynamic, provider("Sensors")] class Fan { [key] string Name; };
[dynamic, provider("sensors")] class Pump { [key] string Name; };
instance of __Win32Provider as $P { Name = "sensors"; CLSID = "{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}"; };
instance of __InstanceProviderRegistration { Provider = $P; SupportsGet = TRUE; };
)";

// One broken link or more for each provider but "sound".
constexpr char kBroken[] = R"(class Static { [key] string Name; };
[dynamic, provider("alpha")] class A1 { [key] string Name; };
[dynamic, provider("alpha")] class A2 { [key] string Name; };
[dynamic, provider("beta")] class B { [key] string Name; };
[dynamic, provider("gamma")] class G { [key] string Name; };
[dynamic, provider("delta")] class D { [key] string Name; };
[dynamic, provider("sound")] class S { [key] string Name; };
instance of __Win32Provider as $Beta { Name = "beta"; CLSID = "not a GUID"; };
instance of __Win32Provider as $Gamma { Name = "gamma"; CLSID = "{00000000-0000-0000-0000-00000000000A}"; };
instance of __InstanceProviderRegistration { Provider = $Gamma; SupportsEnumeration = FALSE; };
instance of __Win32Provider as $Delta { Name = "delta"; CLSID = "{00000000-0000-0000-0000-00000000000D}"; };
instance of __InstanceProviderRegistration { Provider = $Delta; SupportsGet = TRUE; };
instance of __Win32Provider as $Sound { Name = "sound"; CLSID = "{00000000-0000-0000-0000-000000000005}"; };
instance of __InstanceProviderRegistration { Provider = $Sound; SupportsGet = TRUE; };
#pragma namespace("root\\other")
[dynamic, provider("elsewhere")] class E { [key] string Name; };
)";

class ProviderChainCheckTest : public ::testing::Test {
 protected:
  void TearDown() override { qrv::test::removeTree(dir_); }

  // The check of root\cimv2 over the MOF, with COM's registration taken
  // from registered_, or not looked at.
  ProviderChainReport check(const std::string& mof, bool lookAtCom = true) {
    repository_.loadText(mof, "test.mof");
    RegisteredModule registeredModule;
    if (lookAtCom) {
      registeredModule = [this](const std::string& clsid) -> std::optional<std::string> {
        const auto found = registered_.find(clsid);
        if (found == registered_.end()) return std::nullopt;
        return found->second;
      };
    }
    return checkProviderChains(repository_, "root\\cimv2", registeredModule);
  }

  // Each finding as its line of the report.
  static std::vector<std::string> lines(const ProviderChainReport& report) {
    std::vector<std::string> found;
    for (const Finding& finding : report.findings) found.push_back(finding.line());
    return found;
  }

  std::string dir_ = qrv::test::makeTempDir("wmihost-chain");
  std::string module_ = dir_ + "/bin/wexi.so";
  std::map<std::string, std::string> registered_;
  ClassRepository repository_;
};

TEST_F(ProviderChainCheckTest, ASoundChainNamesItsModuleOnce) {
  qrv::test::writeFile(module_, "module");
  registered_["{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"] = module_;
  const ProviderChainReport report = check(kSound);
  EXPECT_EQ(lines(report), (std::vector<std::string>{
                               "test.mof:4: note: the provider Sensors is the COM class "
                               "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} of the module " +
                               module_}));
  EXPECT_EQ(report.modules, (std::vector<std::string>{module_}));
}

TEST_F(ProviderChainCheckTest, EveryBrokenLinkIsReportedWithItsPlace) {
  qrv::test::writeFile(module_, "module");
  registered_["{00000000-0000-0000-0000-00000000000D}"] = dir_ + "/bin/missing.so";
  registered_["{00000000-0000-0000-0000-000000000005}"] = module_;
  const ProviderChainReport report = check(kBroken);
  EXPECT_EQ(
      lines(report),
      (std::vector<std::string>{
          "test.mof:2: error: the provider alpha of A1, A2 is not registered: root\\cimv2 holds no __Win32Provider "
          "named alpha",
          "test.mof:8: error: no __InstanceProviderRegistration of root\\cimv2 refers to the provider beta by its "
          "alias: WMI hands it no instance requests",
          "test.mof:8: error: the __Win32Provider beta gives no CLSID in the form {8-4-4-4-12 hexadecimal digits}",
          "test.mof:11: error: the module registered for the CLSID {00000000-0000-0000-0000-00000000000D} of the "
          "provider delta does not exist: " +
              dir_ + "/bin/missing.so",
          "test.mof:10: error: the registration of the provider gamma refuses enumerations: its SupportsEnumeration "
          "is not TRUE",
          "test.mof:10: error: the registration of the provider gamma refuses gets: its SupportsGet is not TRUE",
          "test.mof:9: error: the CLSID {00000000-0000-0000-0000-00000000000A} of the provider gamma is not "
          "registered with COM: no InprocServer32 names its module, so WMI cannot load it",
          "test.mof:13: note: the provider sound is the COM class {00000000-0000-0000-0000-000000000005} of the "
          "module " +
              module_,
      }));
  EXPECT_EQ(report.modules, (std::vector<std::string>{module_}));
}

TEST_F(ProviderChainCheckTest, WithModuleGivenComsRegistrationIsNotLookedAt) {
  const ProviderChainReport report = check(kSound, false);
  EXPECT_EQ(lines(report), (std::vector<std::string>{
                               "test.mof:4: note: the provider Sensors is the COM class "
                               "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}; --module names its module, so COM's "
                               "registration is not checked"}));
  EXPECT_TRUE(report.modules.empty());
}

}  // namespace
}  // namespace wmihost
