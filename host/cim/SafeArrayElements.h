#pragma once
// The elements of a one-dimensional SAFEARRAY value, each as a VARIANT of
// the array's element type.

#include <vector>

#include "common/com/Variant.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

// The elements of value (VT_ARRAY with a non-null array) in index order;
// stops at the first element that cannot be read.
std::vector<qrv::com::Variant> arrayElements(const VARIANT& value);

}  // namespace wmihost
