#pragma once
// Objects as comma-separated values after RFC 4180: a header row of the
// names of the values the objects show (ShownValue.h), then a row for each
// object, its values in plain text (PlainValue.h) with arrays as {a;b}, as
// wmic's /format:csv writes them. A field that holds a comma, a quote, a
// line break or a blank at either end is quoted, its quotes doubled. An
// unset value is an empty field, an empty string "" . Where an object shows
// other columns than the one before it (another class), a blank line and a
// new header row start another table. Lines end in LF, as the host's other
// output does.

#include <string>
#include <string_view>
#include <vector>

#include "common/com/ComPtr.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

std::string csvText(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects,
                    const std::vector<std::string_view>& systemProperties);

}  // namespace wmihost
