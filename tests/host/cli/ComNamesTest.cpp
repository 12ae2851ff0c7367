// The names wmihost works with: HRESULTs by name, and the provider's CLSID
// read from its text.

#include <gtest/gtest.h>

#include "common/com/GuidText.h"
#include "host/cli/HresultName.h"
#include "host/cli/ProviderClass.h"
#include "provider/module/ComIdentity.h"

namespace wmihost {
namespace {

using qrv::com::guidFromText;
TEST(HresultName, WbemAndComCodesAreNamedInHexadecimal) {
  EXPECT_EQ(hresultText(static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED)), "0x8004100C WBEM_E_NOT_SUPPORTED");
  EXPECT_EQ(hresultText(static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE)), "0x80041024 WBEM_E_PROVIDER_NOT_CAPABLE");
  EXPECT_EQ(hresultText(static_cast<HRESULT>(WBEM_E_RESOURCE_CONTENTION)), "0x80043002 WBEM_E_RESOURCE_CONTENTION");
  EXPECT_EQ(hresultText(S_OK), "0x00000000 WBEM_S_NO_ERROR");
  EXPECT_EQ(hresultText(S_FALSE), "0x00000001 WBEM_S_FALSE");
  EXPECT_EQ(hresultName(static_cast<HRESULT>(WBEM_S_ACCESS_DENIED)), "WBEM_S_ACCESS_DENIED");
  EXPECT_EQ(hresultName(E_NOINTERFACE), "E_NOINTERFACE");
  EXPECT_EQ(hresultName(CLASS_E_CLASSNOTAVAILABLE), "CLASS_E_CLASSNOTAVAILABLE");
  EXPECT_EQ(hresultName(REGDB_E_CLASSNOTREG), "REGDB_E_CLASSNOTREG");
  EXPECT_EQ(hresultText(static_cast<HRESULT>(0x80041FFFu)), "0x80041FFF unknown");
}

TEST(GuidText, TheProviderClassIsTheModulesClass) {
  const auto clsid = guidFromText(kProviderClsid);
  ASSERT_TRUE(clsid);
  EXPECT_EQ(*clsid, qrv::cim::kClsidQVProvider);
  EXPECT_EQ(guidFromText("{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}"), clsid);
}

TEST(GuidText, TextOfAnyOtherShapeIsRefused) {
  for (const char* text : {"5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913", "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A91}",
                           "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A9133}", "{5A1E7C3D0-B94-4F2A-9C61-7D28E4B0A913}",
                           "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A91G}", "(5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913)", ""}) {
    EXPECT_FALSE(guidFromText(text)) << text;
  }
}

}  // namespace
}  // namespace wmihost
