// Date-time text into a CIM datetime: any text gives S_OK, and a number of
// seconds or an interval a BSTR of 25 characters, or a few more for the minus
// signs of a negative interval.

#include <cstdint>
#include <string>

#include "common/com/WmiSdk.h"
#include "fuzz/FuzzCheck.h"
#include "provider/wmi/CimDateTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  VARIANT value;
  VariantInit(&value);
  QRV_FUZZ_CHECK(qrv::cim::toCimDateTime(&value, text) == S_OK);
  if (value.vt == VT_BSTR && text.rfind("absolute:", 0) != 0) {
    const UINT length = SysStringLen(value.bstrVal);
    QRV_FUZZ_CHECK(length >= 25 && length <= 29);
  }
  VariantClear(&value);
  return 0;
}
