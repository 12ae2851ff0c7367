// The way from a class to its provider's COM class through the repository:
// the deployment's own registration, and each link missing in turn.

#include "host/cim/ClassProvider.h"

#include <gtest/gtest.h>

#include "common/com/GuidText.h"
#include "provider/module/ComIdentity.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {
namespace {

constexpr char kClass[] = R"(
[dynamic, provider("Sensors")] class Fan { [key] string Name; };
class Static { [key] string Name; };
[dynamic, provider("nobody")] class Orphan { [key] string Name; };
)";

constexpr char kProvider[] = R"(
instance of __Win32Provider as $P
{
  Name = "sensors";
  CLSID = "{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}";
};
)";

constexpr char kRegistration[] = R"(
instance of __InstanceProviderRegistration
{
  Provider = $P;
  SupportsGet = TRUE;
  SupportsEnumeration = TRUE;
};
)";

// The WMI codes of a missing link, without their prefix.
std::string codeName(HRESULT code) {
  switch (code) {
    case static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_FOUND):
      return "PROVIDER_NOT_FOUND";
    case static_cast<HRESULT>(WBEM_E_INVALID_PROVIDER_REGISTRATION):
      return "INVALID_PROVIDER_REGISTRATION";
    case static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE):
      return "PROVIDER_NOT_CAPABLE";
    default:
      return std::to_string(code);
  }
}

// What finding the provider of the class for the request gives: the
// provider's name and CLSID, or the code and message of the missing link.
std::string providerOf(const std::string& mof, const std::string& className,
                       ProviderRequest request = ProviderRequest::Enumerate) {
  const auto repository = repositoryOf(mof);
  try {
    const ClassProvider found = findClassProvider(*repository, *repository->find("root\\cimv2", className), request);
    return found.name + " " + found.clsid;
  } catch (const ProviderLinkError& error) {
    return codeName(error.code()) + ": " + error.what();
  }
}

TEST(ClassProvider, TheDeploymentRegistersTheModulesClassForEveryDynamicClass) {
  ClassRepository repository;
  repository.load(QRV_SOURCE_DIR "/deploy/mof/korvex.mof");
  const std::string moduleClass = qrv::com::guidText(qrv::cim::kClsidQVProvider);
  std::size_t dynamicClasses = 0;
  for (const auto& definition : repository.classes("root\\cimv2")) {
    if (definition->provider.empty()) continue;
    ++dynamicClasses;
    for (const ProviderRequest request : {ProviderRequest::Enumerate, ProviderRequest::Get}) {
      const ClassProvider found = findClassProvider(repository, *definition, request);
      EXPECT_EQ(found.name, "qrvcim") << definition->name;
      EXPECT_EQ(found.clsid, moduleClass) << definition->name;
    }
  }
  EXPECT_EQ(dynamicClasses, 9u);
  const auto provider = findWin32Provider(repository, "root\\cimv2", "qrvcim");
  ASSERT_TRUE(provider);
  EXPECT_EQ(provider->value("HostingModel")->text, "NetworkServiceHost");
  EXPECT_EQ(provider->value("ImpersonationLevel")->text, "1");
  const auto registration = findInstanceRegistration(repository, "root\\cimv2", *provider);
  ASSERT_TRUE(registration);
  EXPECT_FALSE(registration->value("SupportsPut")->boolean);
  EXPECT_FALSE(registration->value("SupportsDelete")->boolean);
  EXPECT_EQ(registration->value("QuerySupportLevels")->kind, MofInitializer::Kind::Null);
}

TEST(ClassProvider, FollowsTheQualifierToTheNamedProviderIgnoringCase) {
  EXPECT_EQ(providerOf(std::string(kClass) + kProvider + kRegistration, "Fan"),
            "Sensors {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}");
  EXPECT_EQ(providerOf(std::string(kClass) + kProvider + kRegistration, "Fan", ProviderRequest::Get),
            "Sensors {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}");
}

TEST(ClassProvider, AClassWithoutQualifierOrRegisteredProviderHasNone) {
  const std::string registered = std::string(kClass) + kProvider + kRegistration;
  EXPECT_EQ(providerOf(registered, "Static"),
            "PROVIDER_NOT_FOUND: Static names no provider: it has no provider qualifier");
  EXPECT_EQ(providerOf(registered, "Orphan"),
            "PROVIDER_NOT_FOUND: the provider nobody of Orphan is not registered: root\\cimv2 holds no __Win32Provider "
            "named nobody");
  // A registration of another namespace does not count.
  EXPECT_EQ(providerOf(std::string(kClass) + "#pragma namespace(\"root\\\\other\")\n" + kProvider + kRegistration,
                       "Fan"),
            "PROVIDER_NOT_FOUND: the provider Sensors of Fan is not registered: root\\cimv2 holds no __Win32Provider "
            "named Sensors");
}

TEST(ClassProvider, AProviderNeedsACLSIDInGuidForm) {
  for (const char* clsid : {"", "CLSID = NULL;", "CLSID = \"5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913\";"}) {
    const std::string mof = std::string(kClass) + "instance of __Win32Provider as $P { Name = \"Sensors\"; " + clsid +
                            " };" + kRegistration;
    EXPECT_EQ(providerOf(mof, "Fan"),
              "INVALID_PROVIDER_REGISTRATION: the provider Sensors (test.mof:5) gives no CLSID in the form "
              "{8-4-4-4-12 hexadecimal digits}")
        << clsid;
  }
}

TEST(ClassProvider, AProviderServesOnlyWhatItsInstanceRegistrationOffers) {
  const std::string provided = std::string(kClass) + kProvider;
  EXPECT_EQ(providerOf(provided, "Fan"),
            "PROVIDER_NOT_CAPABLE: the provider Sensors (test.mof:6) is no instance provider: no "
            "__InstanceProviderRegistration of root\\cimv2 refers to it");
  const std::string another = provided +
                              "instance of __Win32Provider as $Q { Name = \"other\"; };\n"
                              "instance of __InstanceProviderRegistration { Provider = $Q; SupportsGet = TRUE; };";
  EXPECT_EQ(providerOf(another, "Fan", ProviderRequest::Get),
            "PROVIDER_NOT_CAPABLE: the provider Sensors (test.mof:6) is no instance provider: no "
            "__InstanceProviderRegistration of root\\cimv2 refers to it");

  // Unset, SupportsEnumeration offers enumerations and SupportsGet no gets.
  const std::string unset = provided + "instance of __InstanceProviderRegistration { Provider = $P; };";
  EXPECT_EQ(providerOf(unset, "Fan"), "Sensors {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}");
  EXPECT_EQ(providerOf(unset, "Fan", ProviderRequest::Get),
            "PROVIDER_NOT_CAPABLE: the __InstanceProviderRegistration of Sensors (test.mof:11) refuses gets: its "
            "SupportsGet is not TRUE");
  const std::string refused =
      provided + "instance of __InstanceProviderRegistration { Provider = $P; SupportsEnumeration = FALSE; "
                 "SupportsGet = TRUE; };";
  EXPECT_EQ(providerOf(refused, "Fan"),
            "PROVIDER_NOT_CAPABLE: the __InstanceProviderRegistration of Sensors (test.mof:11) refuses "
            "enumerations: its SupportsEnumeration is not TRUE");
  EXPECT_EQ(providerOf(refused, "Fan", ProviderRequest::Get), "Sensors {5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}");
}

}  // namespace
}  // namespace wmihost::test
