// wmihost classes and describe: each class with its provider and how far
// the way to the provider's module goes, and a class's declaration or the
// failure that names a class the repository lacks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "host/cli/ClassesCommand.h"
#include "host/cli/DescribeCommand.h"
#include "host/cli/OperationError.h"
#include "tests/support/TempTree.h"

namespace wmihost {
namespace {

using ::testing::HasSubstr;

constexpr char kClsid[] = "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}";

constexpr char kClasses[] = R"(
[dynamic, provider("sensors")] class Fan { [key] string Name; };
class Shape { uint32 Sides; };
[dynamic, provider("Sensors")] class Pump { [key] string Name; };
[dynamic, provider("ghost")] class Haunted { [key] string Name; };
instance of __Win32Provider as $P { Name = "sensors"; CLSID = "{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}"; };
)";

std::shared_ptr<ClassRepository> repositoryOf(const std::string& mof) {
  auto repository = std::make_shared<ClassRepository>();
  repository->loadText(mof, "classes.mof");
  return repository;
}

RegisteredModule registry(const std::string& module) {
  return [module](const std::string& clsid) -> std::optional<std::string> {
    if (clsid == kClsid && !module.empty()) return module;
    return std::nullopt;
  };
}

TEST(ClassesCommand, FollowsEachClassToItsProviderAndCom) {
  const auto repository = repositoryOf(std::string(kClasses) +
                                       "instance of __InstanceProviderRegistration { Provider = $P; };");
  EXPECT_EQ(classListing(*repository, "root\\cimv2", registry("/opt/korvex/wexi.so")),
            "Class    Provider  Registered\n"
            "Fan      sensors   yes: {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} in /opt/korvex/wexi.so\n"
            "Haunted  ghost     no: the provider ghost of Haunted is not registered: root\\cimv2 holds no "
            "__Win32Provider named ghost\n"
            "Pump     Sensors   yes: {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} in /opt/korvex/wexi.so\n"
            "Shape    -         -\n");
  const std::string unregistered = classListing(*repository, "root\\cimv2", registry(""));
  EXPECT_THAT(unregistered, HasSubstr("\nFan      sensors   no: the CLSID {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} is "
                                      "not registered with COM: no InprocServer32 names its module\n"));
  EXPECT_THAT(classListing(*repository, "root\\cimv2", RegisteredModule()),
              HasSubstr("\nFan      sensors   yes: {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}; --module names the module\n"));
  EXPECT_EQ(classListing(*repository, "root\\other", registry("")), "Class  Provider  Registered\n");
}

// A provider is registered when its registration lets WMI hand it
// enumerations or gets; one that takes neither names what it refuses.
TEST(ClassesCommand, AProviderThatTakesOnlyGetsIsRegisteredOneThatTakesNothingIsNot) {
  const auto getsOnly = repositoryOf(
      std::string(kClasses) +
      "instance of __InstanceProviderRegistration { Provider = $P; SupportsEnumeration = FALSE; SupportsGet = TRUE; };");
  EXPECT_THAT(classListing(*getsOnly, "root\\cimv2", registry("m.so")),
              HasSubstr("\nFan      sensors   yes: {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} in m.so\n"));
  const auto nothing = repositoryOf(std::string(kClasses) +
                                    "instance of __InstanceProviderRegistration { Provider = $P; "
                                    "SupportsEnumeration = FALSE; };");
  EXPECT_THAT(classListing(*nothing, "root\\cimv2", registry("m.so")),
              HasSubstr("\nFan      sensors   no: the __InstanceProviderRegistration of sensors (classes.mof:"));
  EXPECT_THAT(classListing(*nothing, "root\\cimv2", registry("m.so")),
              HasSubstr(") refuses enumerations: its SupportsEnumeration is not TRUE\n"));
  EXPECT_THAT(classListing(*repositoryOf(kClasses), "root\\cimv2", registry("m.so")),
              HasSubstr("\nFan      sensors   no: the provider sensors (classes.mof:6) is no instance provider"));
}

// Fan and Pump share their provider: COM's registration, whose registry
// file is read whole at each look-up, is asked about its CLSID once.
TEST(ClassesCommand, LooksUpEachClsidOnce) {
  const auto repository = repositoryOf(std::string(kClasses) +
                                       "instance of __InstanceProviderRegistration { Provider = $P; };");
  std::vector<std::string> asked;
  const RegisteredModule counting = [&asked](const std::string& clsid) -> std::optional<std::string> {
    asked.push_back(clsid);
    return "/opt/korvex/wexi.so";
  };
  EXPECT_THAT(classListing(*repository, "root\\cimv2", counting),
              HasSubstr("\nPump     Sensors   yes: {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913} in /opt/korvex/wexi.so\n"));
  EXPECT_EQ(asked, std::vector<std::string>{kClsid});
}

class DescribeCommand : public ::testing::Test {
 protected:
  void TearDown() override { qrv::test::removeTree(dir_); }

  int describe(const std::string& className, std::ostream& out) {
    qrv::test::writeFile(dir_ + "/classes.mof", kClasses);
    CommandLine command;
    command.repositories = {dir_ + "/classes.mof"};
    command.requests = {{Verb::Describe, className}};
    return runDescribe(command, out, Diagnostics(false, out));
  }

  std::string dir_ = qrv::test::makeTempDir("describe");
};

TEST_F(DescribeCommand, WritesTheDeclarationOfTheClassFoundIgnoringCase) {
  std::ostringstream out;
  EXPECT_EQ(describe("fAN", out), 0);
  EXPECT_EQ(out.str(), "// Fan of root\\cimv2, declared at " + dir_ +
                           "/classes.mof:2\n// keys: Name\n[dynamic, provider(\"sensors\")]\nclass Fan\n{\n"
                           "\t[key] string Name;\n};\n");
}

TEST_F(DescribeCommand, AnUnknownClassFailsNamingTheClassAndTheFilesRead) {
  std::ostringstream out;
  try {
    describe("Fam", out);
    FAIL() << "no failure";
  } catch (const OperationError& error) {
    EXPECT_STREQ(error.what(), "describe Fam failed: 0x80041010 WBEM_E_INVALID_CLASS");
    EXPECT_EQ(error.detail(), "Fam is no class of root\\cimv2 in the repository (read: " + dir_ + "/classes.mof)");
  }
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace wmihost
