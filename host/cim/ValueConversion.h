#pragma once
// What Put does with a value before it stores it, as WMI does for a put with
// type 0: the property's CIM type decides.
//
// - VT_NULL and VT_EMPTY unset the property.
// - A VT_BSTR is converted to the type's stored form (see storedVarType):
//   integers from decimal text within the type's range, 64-bit ones kept as
//   canonical decimal text; reals from decimal text; booleans from TRUE or
//   FALSE in any case or from a whole number (non-zero is TRUE); datetime
//   text only in the 25-character CIM form; strings and references as they
//   are. An object property takes only VT_UNKNOWN.
// - A value already in the stored form is taken, integers range-checked.
// - An array property takes VT_ARRAY of VT_BSTR or of the stored form, each
//   element converted as above.
// Anything else, and text that does not convert, is WBEM_E_TYPE_MISMATCH.
// Fractions for integer types are refused, where OLE automation would round.

#include "common/com/Variant.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

// Converts value for a property of type; out is written only on success.
HRESULT convertForProperty(CIMTYPE type, const VARIANT& value, qrv::com::Variant& out);

}  // namespace wmihost
