#pragma once

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// Writes the CIM date-time text for a date-time value of the result text
// into `out` as a VT_BSTR:
//   "interval:<seconds>"   an interval, ddddddddhhmmss.000000:000
//   "absolute:<text>"      the text after the last colon, unchanged
//   "<seconds>"            seconds since 1970-01-01 UTC, yyyymmddhhmmss.000000-000
// A negative count of seconds has no date, and `out` is left as it was.
// Numbers are read like atoi, except that digits beyond the 32-bit range
// saturate at the range's end. Always S_OK; throws BstrAllocationError when
// the string cannot be allocated.
HRESULT toCimDateTime(VARIANT* out, const std::string& text);

}  // namespace qrv::cim
