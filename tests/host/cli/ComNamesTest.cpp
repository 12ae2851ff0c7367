// The names wmihost works with: HRESULTs by name, and CLSIDs read from
// their text.

#include <gtest/gtest.h>

#include "common/com/GuidText.h"
#include "host/cli/HresultName.h"
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

TEST(HresultName, EveryCodeHasAMeaning) {
  const std::pair<long, const char*> cases[] = {
      {WBEM_E_INVALID_CLASS, "the class does not exist in the namespace"},
      {0x80070543, "Win32 error 1347: an anonymous-level token cannot be opened: the client allowed anonymous "
                   "impersonation only"},
      {0x80070002, "Win32 error 2: the file cannot be found"},
      {0x80070999, "Win32 error 2457"},
      {0x80010106, "COM was initialised on this thread in another apartment model"},
      {0x800706BA, "Win32 error 1722: the RPC server is unavailable"},
      {0x80010999, "an RPC error without a known meaning"},
      {0x80041FFF, "an error defined by the interface that returned it"},
      {0x800A0001, "an error of facility 10 without a known meaning"},
      {0x00000002, "a success code without a known meaning"},
  };
  for (const auto& [code, meaning] : cases) EXPECT_EQ(hresultMeaning(static_cast<HRESULT>(code)), meaning) << code;
  EXPECT_EQ(hresultText(static_cast<HRESULT>(0x80070543u)), "0x80070543 ERROR_CANT_OPEN_ANONYMOUS");
  EXPECT_EQ(hresultText(static_cast<HRESULT>(0x800706BAu)), "0x800706BA RPC_S_SERVER_UNAVAILABLE");
  EXPECT_EQ(hresultText(E_ACCESSDENIED), "0x80070005 E_ACCESSDENIED");
}

TEST(GuidText, ReadsTheModulesClassInEitherCase) {
  EXPECT_EQ(guidFromText("{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"), qrv::cim::kClsidQVProvider);
  EXPECT_EQ(guidFromText("{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}"), qrv::cim::kClsidQVProvider);
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
