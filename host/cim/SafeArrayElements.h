#pragma once
// The elements of a one-dimensional SAFEARRAY value, each as a VARIANT of
// the array's element type; and such an array made from texts.

#include <string>
#include <vector>

#include "common/com/Variant.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

// The elements of value (VT_ARRAY with a non-null array) in index order;
// stops at the first element that cannot be read.
std::vector<qrv::com::Variant> arrayElements(const VARIANT& value);

// A new array of BSTRs holding the texts, in order; null when it cannot be
// made. The caller owns it.
SAFEARRAY* newTextArray(const std::vector<std::string>& texts);

}  // namespace wmihost
