#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"
#include "tests/provider/module/WexiModule.h"

namespace {

using qrv::com::ComPtr;
using qrv::test::wexi;

constexpr CLSID kClsid = {0x5a1e7c3d, 0x0b94, 0x4f2a, {0x9c, 0x61, 0x7d, 0x28, 0xe4, 0xb0, 0xa9, 0x13}};
constexpr CLSID kOtherClsid = {0x5a1e7c3d, 0x0b94, 0x4f2a, {0x9c, 0x61, 0x7d, 0x28, 0xe4, 0xb0, 0xa9, 0x14}};

void* const kGarbage = reinterpret_cast<void*>(0x1);

HRESULT getFactory(ComPtr<IClassFactory>& factory) {
  return wexi().getClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
}

std::string text(BSTR value) {
  return value ? qrv::com::toUtf8(qrv::com::WideTextView(value, SysStringLen(value))) : "(null)";
}

// Every test leaves the module unlockable, as it found it.
class ClassObjectTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(wexi().canUnloadNow(), S_OK); }
  void TearDown() override { EXPECT_EQ(wexi().canUnloadNow(), S_OK); }
};

TEST_F(ClassObjectTest, HandsOutOneCachedFactoryForItsClassOnly) {
  ComPtr<IClassFactory> first;
  ComPtr<IClassFactory> second;
  ASSERT_EQ(getFactory(first), S_OK);
  ASSERT_EQ(getFactory(second), S_OK);
  EXPECT_EQ(first.get(), second.get());

  void* object = kGarbage;
  EXPECT_EQ(wexi().getClassObject(kOtherClsid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(wexi().getClassObject(kClsid, IID_ITypeInfo, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(wexi().getClassObject(kClsid, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ClassObjectTest, ConcurrentFirstRequestsShareOneFactory) {
  std::vector<IClassFactory*> factories(8, nullptr);
  std::vector<std::thread> threads;
  for (IClassFactory*& factory : factories) {
    threads.emplace_back([&factory] {
      wexi().getClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (IClassFactory* factory : factories) {
    EXPECT_EQ(factory, factories.front());
    if (factory) factory->Release();
  }
}

TEST_F(ClassObjectTest, FactoryRefusesAggregation) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getFactory(factory), S_OK);
  ComPtr<IUnknown> outer;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(outer.put())), S_OK);

  void* object = kGarbage;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ClassObjectTest, LockCountFollowsFactoryReferencesProvidersAndServerLocks) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getFactory(factory), S_OK);
  EXPECT_EQ(wexi().canUnloadNow(), S_FALSE) << "a factory reference";

  ComPtr<IWbemServices> provider;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IWbemServices, reinterpret_cast<void**>(provider.put())), S_OK);
  factory.reset();
  EXPECT_EQ(wexi().canUnloadNow(), S_FALSE) << "a live provider";
  provider.reset();
  EXPECT_EQ(wexi().canUnloadNow(), S_OK);

  ASSERT_EQ(getFactory(factory), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(wexi().canUnloadNow(), S_FALSE) << "a server lock";
  ASSERT_EQ(getFactory(factory), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
}

TEST_F(ClassObjectTest, ProviderAnswersItsThreeInterfacesWithOneIdentity) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getFactory(factory), S_OK);
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown.put())), S_OK);

  ComPtr<IWbemServices> services;
  ComPtr<IWbemProviderInit> init;
  ComPtr<IProvideClassInfo> classInfo;
  EXPECT_EQ(unknown->QueryInterface(IID_IWbemServices, reinterpret_cast<void**>(services.put())), S_OK);
  EXPECT_EQ(unknown->QueryInterface(IID_IWbemProviderInit, reinterpret_cast<void**>(init.put())), S_OK);
  EXPECT_EQ(unknown->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(classInfo.put())), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(services.get()));

  ComPtr<IUnknown> identity;
  ASSERT_EQ(classInfo->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.put())), S_OK);
  EXPECT_EQ(identity.get(), unknown.get());
}

TEST_F(ClassObjectTest, ClassInfoDescribesTheCoclass) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getFactory(factory), S_OK);
  ComPtr<IProvideClassInfo> provider;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IProvideClassInfo, reinterpret_cast<void**>(provider.put())),
            S_OK);
  EXPECT_EQ(provider->GetClassInfo(nullptr), E_POINTER);

  ComPtr<ITypeInfo> typeInfo;
  ASSERT_EQ(provider->GetClassInfo(typeInfo.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(typeInfo->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kClsid));
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_EQ(attributes->wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE);
  // The coclass declares no version of its own; the library's 1.0 is not it.
  EXPECT_EQ(attributes->wMajorVerNum, 0);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  typeInfo->ReleaseTypeAttr(attributes);

  BSTR name = nullptr;
  BSTR help = nullptr;
  ASSERT_EQ(typeInfo->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
  EXPECT_EQ(text(name), "CQVProvider");
  EXPECT_EQ(text(help), "QVProvider Class");
  SysFreeString(name);
  SysFreeString(help);
}

TEST(ModuleExportsTest, OnlyTheComEntryPoints) {
  EXPECT_NE(qrv::test::wexiSymbol("DllGetClassObject"), nullptr);
  EXPECT_EQ(qrv::test::wexiSymbol("_ZN3qrv3cim9theModuleEv"), nullptr) << "qrv::cim::theModule() leaks";
  EXPECT_EQ(qrv::test::wexiSymbol("_ZN3qrv3cim12findClassMapERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES8_"),
            nullptr)
      << "the request path leaks";
}

}  // namespace
