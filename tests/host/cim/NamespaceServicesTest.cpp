// What a provider meets of the stand-in besides objects: the namespace
// services, the sinks, the client call context and the path parser class.

#include <gtest/gtest.h>

#include <thread>

#include "common/com/Bstr.h"
#include "compat/com/CallContext.h"
#include "host/cim/ClientCall.h"
#include "host/cim/InitSink.h"
#include "host/cim/NamespaceServices.h"
#include "host/cim/ObjectSink.h"
#include "host/cim/PathParserRegistration.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {

using qrv::com::Bstr;
using qrv::com::ComPtr;
namespace {

constexpr std::string_view kClasses = R"(
  class Fan { [key] string Name; };
  #pragma namespace("\\\\.\\root\\other")
  class Elsewhere { string A; };)";

ComPtr<IWbemServices> servicesFor(std::string nameSpace) {
  return ComPtr<IWbemServices>::adopt(NamespaceServices::create(repositoryOf(kClasses), std::move(nameSpace)).detach());
}

HRESULT getObject(IWbemServices* services, std::u16string_view path, ComPtr<IWbemClassObject>& object) {
  const Bstr text(path);
  return services->GetObject(text.get(), 0, nullptr, object.put(), nullptr);
}

TEST(NamespaceServices, GetObjectGivesAFreshClassObjectOfItsNamespace) {
  const auto services = servicesFor("root\\cimv2");
  ComPtr<IWbemClassObject> first;
  ASSERT_EQ(getObject(services.get(), u"fan", first), S_OK);
  EXPECT_EQ(textOf(get(first.get(), u"__CLASS")), u"Fan");
  EXPECT_EQ(get(first.get(), u"__GENUS")->lVal, WBEM_GENUS_CLASS);
  putText(first.get(), u"Name", u"default");
  ComPtr<IWbemClassObject> second;
  ASSERT_EQ(getObject(services.get(), u"Fan", second), S_OK);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(get(second.get(), u"Name")->vt, VT_NULL);
}

TEST(NamespaceServices, UnknownClassesAndInstancePathsAreNotFound) {
  const auto services = servicesFor("ROOT/CIMV2");
  ComPtr<IWbemClassObject> object;
  EXPECT_EQ(getObject(services.get(), u"Elsewhere", object), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(object.get(), nullptr);
  EXPECT_EQ(getObject(services.get(), u"Fan.Name=\"x\"", object), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(services->GetObject(nullptr, 0, nullptr, object.put(), nullptr), hr(WBEM_E_INVALID_PARAMETER));
  EXPECT_EQ(getObject(servicesFor("root\\other").get(), u"Elsewhere", object), S_OK);
}

// A class path may name this machine and the namespace served, in any
// spelling WMI takes; another machine or namespace is refused, and an
// instance path finds nothing, as the stand-in keeps no instances.
TEST(NamespaceServices, GetObjectReadsClassPathsAsWmiWritesThem) {
  const auto services = servicesFor("root\\cimv2");
  for (const std::u16string_view path :
       {u"\\\\.\\root\\cimv2:Fan", u"ROOT\\CimV2:Fan", u"//localhost/root/cimv2:fan"}) {
    ComPtr<IWbemClassObject> object;
    ASSERT_EQ(getObject(services.get(), path, object), S_OK);
    EXPECT_EQ(textOf(get(object.get(), u"__CLASS")), u"Fan");
  }
  ComPtr<IWbemClassObject> object;
  EXPECT_EQ(getObject(services.get(), u"\\\\server01\\root\\cimv2:Fan", object), hr(0x800706BA));
  EXPECT_EQ(getObject(services.get(), u"root\\cimv3:Fan", object), hr(WBEM_E_INVALID_NAMESPACE));
  EXPECT_EQ(getObject(services.get(), u"root\\other:Elsewhere", object), hr(WBEM_E_INVALID_NAMESPACE));
  EXPECT_EQ(getObject(services.get(), u"Fan='x'", object), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(getObject(services.get(), u"Fan=@", object), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(getObject(services.get(), u"Fan Name", object), hr(WBEM_E_INVALID_OBJECT_PATH));
  EXPECT_EQ(object.get(), nullptr);
}

TEST(NamespaceServices, EveryOtherOperationIsNotSupported) {
  const auto services = servicesFor("root\\cimv2");
  const Bstr fan(std::u16string_view(u"Fan"));
  EXPECT_EQ(services->CreateInstanceEnumAsync(fan.get(), 0, nullptr, nullptr), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(services->GetObjectAsync(fan.get(), 0, nullptr, nullptr), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(services->ExecQuery(fan.get(), fan.get(), 0, nullptr, nullptr), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(services->PutInstance(nullptr, 0, nullptr, nullptr), hr(WBEM_E_NOT_SUPPORTED));
}

TEST(ObjectSink, KeepsIndicatedObjectsInOrderWithTheirOwnReferences) {
  const auto sink = ObjectSink::create();
  const auto fan = classOf(*repositoryOf(kClasses), "Fan");
  IWbemClassObject* instances[2] = {nullptr, nullptr};
  fan->SpawnInstance(0, &instances[0]);
  fan->SpawnInstance(0, &instances[1]);
  ASSERT_EQ(sink->Indicate(2, instances), S_OK);
  // The provider releases its references right after Indicate.
  EXPECT_EQ(instances[0]->Release(), 1u);
  EXPECT_EQ(instances[1]->Release(), 1u);
  const auto objects = sink->objects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].get(), instances[0]);
  EXPECT_EQ(objects[1].get(), instances[1]);

  IWbemClassObject* missing[1] = {nullptr};
  EXPECT_EQ(sink->Indicate(1, missing), hr(WBEM_E_INVALID_PARAMETER));
  EXPECT_EQ(sink->Indicate(-1, instances), hr(WBEM_E_INVALID_PARAMETER));
  EXPECT_EQ(sink->objects().size(), 2u);
}

TEST(ObjectSink, RecordsEveryStatusWithItsTextAndObject) {
  const auto sink = ObjectSink::create();
  EXPECT_EQ(sink->SetStatus(WBEM_STATUS_COMPLETE, hr(WBEM_E_ACCESS_DENIED), nullptr, nullptr), S_OK);
  const Bstr text(std::u16string_view(u"progress"));
  const auto fan = classOf(*repositoryOf(kClasses), "Fan");
  EXPECT_EQ(sink->SetStatus(WBEM_STATUS_PROGRESS, S_OK, text.get(), fan.get()), S_OK);
  const auto statuses = sink->statuses();
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[0].flags, WBEM_STATUS_COMPLETE);
  EXPECT_EQ(statuses[0].result, hr(WBEM_E_ACCESS_DENIED));
  EXPECT_FALSE(statuses[0].text);
  EXPECT_FALSE(statuses[0].object);
  EXPECT_EQ(statuses[1].text, u"progress");
  EXPECT_EQ(statuses[1].object.get(), fan.get());
}

TEST(ObjectSink, TakesCallsFromSeveralThreads) {
  const auto sink = ObjectSink::create();
  const auto fan = classOf(*repositoryOf(kClasses), "Fan");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        auto instance = spawn(fan.get());
        IWbemClassObject* raw = instance.get();
        sink->Indicate(1, &raw);
        sink->SetStatus(WBEM_STATUS_COMPLETE, S_OK, nullptr, nullptr);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(sink->objects().size(), 200u);
  EXPECT_EQ(sink->statuses().size(), 200u);
}

TEST(InitSink, RecordsEveryStatus) {
  const auto sink = InitSink::create();
  EXPECT_EQ(sink->SetStatus(WBEM_S_INITIALIZED, 0), S_OK);
  EXPECT_EQ(sink->SetStatus(hr(WBEM_E_FAILED), 7), S_OK);
  const auto statuses = sink->statuses();
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[0].status, WBEM_S_INITIALIZED);
  EXPECT_EQ(statuses[1].status, hr(WBEM_E_FAILED));
  EXPECT_EQ(statuses[1].flags, 7);
}

// The level a provider reads from its thread token while impersonating.
SECURITY_IMPERSONATION_LEVEL impersonatedLevel() {
  EXPECT_EQ(CoImpersonateClient(), S_OK);
  HANDLE token = nullptr;
  SECURITY_IMPERSONATION_LEVEL level = SecurityAnonymous;
  DWORD size = 0;
  if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
    GetTokenInformation(token, TokenImpersonationLevel, &level, sizeof level, &size);
    CloseHandle(token);
  }
  CoRevertToSelf();
  return level;
}

TEST(ClientCall, GivesTheThreadAClientOfTheRequestedLevel) {
  EXPECT_FALSE(compat::inClientCall());
  {
    ClientCall call(RPC_C_IMP_LEVEL_DELEGATE);
    EXPECT_TRUE(compat::inClientCall());
    EXPECT_EQ(impersonatedLevel(), SecurityDelegation);
    {
      ClientCall inner(RPC_C_IMP_LEVEL_IDENTIFY);
      EXPECT_EQ(impersonatedLevel(), SecurityIdentification);
    }
    EXPECT_EQ(impersonatedLevel(), SecurityDelegation);
  }
  EXPECT_FALSE(compat::inClientCall());
  EXPECT_EQ(CoImpersonateClient(), RPC_E_CALL_COMPLETE);
}

TEST(ClientCall, MapsTheFourRpcLevelsAndRefusesOthers) {
  EXPECT_EQ(tokenLevelOf(RPC_C_IMP_LEVEL_ANONYMOUS), SecurityAnonymous);
  EXPECT_EQ(tokenLevelOf(RPC_C_IMP_LEVEL_IDENTIFY), SecurityIdentification);
  EXPECT_EQ(tokenLevelOf(RPC_C_IMP_LEVEL_IMPERSONATE), SecurityImpersonation);
  EXPECT_EQ(tokenLevelOf(RPC_C_IMP_LEVEL_DELEGATE), SecurityDelegation);
  EXPECT_THROW(tokenLevelOf(RPC_C_IMP_LEVEL_DEFAULT), std::invalid_argument);
  EXPECT_THROW(ClientCall(5), std::invalid_argument);
}

TEST(PathParserRegistration, MakesTheClassObjectAvailableWhileItLives) {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(CoGetClassObject(CLSID_WbemDefPath, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            REGDB_E_CLASSNOTREG);
  {
    PathParserRegistration registration;
    ASSERT_EQ(CoGetClassObject(CLSID_WbemDefPath, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    IUnknown* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Release(), 0u);
    void* parser = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IWbemClassObject, &parser), E_NOINTERFACE);
    EXPECT_EQ(parser, nullptr);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &parser), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  }
  // The provider's reference keeps the factory alive after the revocation.
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_EQ(CoGetClassObject(CLSID_WbemDefPath, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace wmihost::test
