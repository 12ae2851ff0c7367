// How the runner finds a class's module, before any provider is loaded: the
// repository's provider registration, then the registry file's
// InprocServer32 for the provider's CLSID, or --module in its place. Each
// missing link fails the request with WMI's code; a module that is found is
// loaded, which here fails naming the path, as none exists.

#include "host/cli/RequestRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/support/TempTree.h"

namespace wmihost {
namespace {

using ::testing::HasSubstr;

constexpr char kClsid[] = "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}";

const std::string kProvided = R"(
[dynamic, provider("sensors")] class Fan { [key] string Name; };
class Static { [key] string Name; };
instance of __Win32Provider as $P { Name = "sensors"; CLSID = "{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}"; };
)";
const std::string kRegistered =
    kProvided + "instance of __InstanceProviderRegistration { Provider = $P; SupportsEnumeration = TRUE; };";

class RequestRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("KORVEX_REGISTRY_FILE", registryFile_.c_str(), 1); }
  void TearDown() override {
    unsetenv("KORVEX_REGISTRY_FILE");
    qrv::test::removeTree(dir_);
  }

  // Registers the module path for the CLSID in the registry file.
  void registerModule(const std::string& clsid, const std::string& module) {
    qrv::test::writeFile(registryFile_, "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\CLSID\\" + clsid +
                                            "\\InprocServer32]\n@=\"" + module + "\"\n");
  }

  // The request over the MOF, with --module when module is given.
  RequestOutcome run(const std::string& mof, Verb verb, const std::string& operand, const std::string& module = "") {
    qrv::test::writeFile(dir_ + "/classes.mof", mof);
    command_.repositories = {dir_ + "/classes.mof"};
    command_.module = module;
    RequestRunner runner(command_, diagnostics_);
    return runner.run({verb, operand});
  }

  // What loading the module gave: the error that names what was loaded.
  std::string loadFailure(const std::string& mof, const std::string& module = "") {
    try {
      run(mof, Verb::Enumerate, "Fan", module);
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "no module loaded";
  }

  std::string dir_ = qrv::test::makeTempDir("wmihost-runner");
  std::string registryFile_ = dir_ + "/registry.reg";
  CommandLine command_;
  std::ostringstream notes_;
  Diagnostics diagnostics_{false, notes_};
};

TEST_F(RequestRunnerTest, EachMissingLinkFailsTheRequestWithWmisCode) {
  const RequestOutcome unqualified = run(kRegistered, Verb::Enumerate, "Static");
  EXPECT_EQ(unqualified.result, static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_FOUND));
  EXPECT_EQ(unqualified.detail, "Static names no provider: it has no provider qualifier");

  const RequestOutcome unregisteredProvider =
      run("[dynamic, provider(\"sensors\")] class Fan { [key] string Name; };", Verb::Get, "Fan.Name=\"cpu\"");
  EXPECT_EQ(unregisteredProvider.result, static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_FOUND));
  EXPECT_THAT(unregisteredProvider.detail, HasSubstr("holds no __Win32Provider named sensors"));

  // A get needs SupportsGet, a query what an enumeration needs.
  const RequestOutcome get = run(kRegistered, Verb::Get, "Fan.Name=\"cpu\"");
  EXPECT_EQ(get.result, static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE));
  EXPECT_THAT(get.detail, HasSubstr("refuses gets"));
  const RequestOutcome query =
      run(kProvided + "instance of __InstanceProviderRegistration { Provider = $P; SupportsEnumeration = FALSE; };",
          Verb::Query, "SELECT * FROM Fan");
  EXPECT_EQ(query.result, static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE));
  EXPECT_THAT(query.detail, HasSubstr("refuses enumerations"));
}

TEST_F(RequestRunnerTest, AnUnregisteredClsidIsAProviderLoadFailure) {
  const RequestOutcome outcome = run(kRegistered, Verb::Enumerate, "Fan");
  EXPECT_EQ(outcome.result, static_cast<HRESULT>(WBEM_E_PROVIDER_LOAD_FAILURE));
  EXPECT_EQ(outcome.detail, std::string("the CLSID ") + kClsid +
                                " of the provider sensors is not registered with COM (REGDB_E_CLASSNOTREG): no "
                                "InprocServer32 names its module");
  registerModule("{00000000-0000-0000-0000-000000000000}", dir_ + "/other.so");
  EXPECT_EQ(run(kRegistered, Verb::Enumerate, "Fan").result, static_cast<HRESULT>(WBEM_E_PROVIDER_LOAD_FAILURE));
}

TEST_F(RequestRunnerTest, TheModuleRegisteredForTheClsidIsLoaded) {
  registerModule(kClsid, dir_ + "/registered.so");
  EXPECT_THAT(loadFailure(kRegistered), HasSubstr(dir_ + "/registered.so"));
}

TEST_F(RequestRunnerTest, ModuleOverridesTheRegistryButNotTheRepository) {
  registerModule(kClsid, dir_ + "/registered.so");
  EXPECT_THAT(loadFailure(kRegistered, dir_ + "/given.so"), HasSubstr(dir_ + "/given.so"));
  const RequestOutcome unqualified = run(kRegistered, Verb::Enumerate, "Static", dir_ + "/given.so");
  EXPECT_EQ(unqualified.result, static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_FOUND));
}

}  // namespace
}  // namespace wmihost
