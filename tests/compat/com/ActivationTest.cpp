#include <gtest/gtest.h>

#include "common/com/WmiSdk.h"
#include "tests/compat/com/CountedObject.h"

namespace {

using qrv::test::CountedObject;

constexpr CLSID kClass = {0x5a1e7c3d, 0x0b94, 0x4f2a, {0x9c, 0x61, 0x7d, 0x28, 0xe4, 0xb0, 0xa9, 0x13}};

IClassFactory* classObject(REFCLSID clsid, HRESULT* hr) {
  void* object = reinterpret_cast<void*>(1);
  *hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &object);
  return static_cast<IClassFactory*>(object);
}

TEST(ClassObjects, AnUnregisteredClassIsNotFound) {
  HRESULT hr = S_OK;
  EXPECT_EQ(classObject(CLSID_WbemDefPath, &hr), nullptr);
  EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
}

TEST(ClassObjects, ARegisteredObjectIsQueriedAndHeldUntilRevoked) {
  CountedObject object;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kClass, &object, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  EXPECT_EQ(object.references, 2);

  HRESULT hr = E_FAIL;
  IClassFactory* factory = classObject(kClass, &hr);
  EXPECT_EQ(hr, S_OK);
  ASSERT_EQ(factory, &object);
  EXPECT_EQ(object.references, 3);
  factory->Release();

  void* services = nullptr;
  EXPECT_EQ(CoGetClassObject(kClass, CLSCTX_INPROC_SERVER, nullptr, IID_IWbemServices, &services),
            E_NOINTERFACE);

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(object.references, 1);
  EXPECT_EQ(classObject(kClass, &hr), nullptr);
  EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
}

TEST(ClassObjects, TheLatestRegistrationWins) {
  CountedObject earlier, later;
  DWORD earlierCookie = 0, laterCookie = 0;
  CoRegisterClassObject(kClass, &earlier, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &earlierCookie);
  CoRegisterClassObject(kClass, &later, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &laterCookie);

  HRESULT hr = E_FAIL;
  IClassFactory* factory = classObject(kClass, &hr);
  ASSERT_EQ(factory, &later);
  factory->Release();
  CoRevokeClassObject(laterCookie);
  factory = classObject(kClass, &hr);
  ASSERT_EQ(factory, &earlier);
  factory->Release();
  CoRevokeClassObject(earlierCookie);
}

}  // namespace
