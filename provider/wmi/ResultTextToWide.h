#pragma once
// A value or name of the result text as UTF-16 for WMI.

#include <string_view>

#include "common/com/TextConversion.h"

namespace qrv::cim {

// The stylesheets write their output in UTF-8, the request document's own
// encoding, so text that is well-formed UTF-8 is read as UTF-8; text that is
// not (a stylesheet whose output names a single-byte encoding) is read in
// `ansiCodePage`. ASCII reads the same either way.
com::WideText resultTextToWide(std::string_view text, UINT ansiCodePage);

}  // namespace qrv::cim
