#pragma once
// Runtime-internal: duplicating a BSTR with its exact byte length.

#include "compat/com/BstrApi.h"

namespace compat {

// A copy of text, embedded NULs included; null for null text. Returns false
// when the copy could not be allocated.
bool copyBstr(BSTR text, BSTR* copy);

}  // namespace compat
