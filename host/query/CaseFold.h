#pragma once
// The case folding of WQL's string comparisons: letters compare without
// regard to case, in ASCII, Latin-1, Greek and Cyrillic. Each UTF-16 unit
// folds on its own, so the folded text keeps its length.

#include <string>
#include <string_view>

#include "common/com/TextConversion.h"

namespace wmihost {

WCHAR foldCase(WCHAR unit);
qrv::com::WideText foldCase(qrv::com::WideTextView text);

}  // namespace wmihost
