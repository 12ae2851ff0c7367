#include "host/cim/SafeArrayElements.h"

#include <utility>

namespace wmihost {

using qrv::com::Variant;

std::vector<Variant> arrayElements(const VARIANT& value) {
  const SAFEARRAYBOUND bound = value.parray->rgsabound[0];
  std::vector<Variant> elements;
  for (ULONG i = 0; i < bound.cElements; ++i) {
    LONG index = bound.lLbound + static_cast<LONG>(i);
    Variant element;
    VARIANT* raw = element.put();
    // The element lands in the union, whatever its type.
    if (FAILED(SafeArrayGetElement(value.parray, &index, &raw->llVal))) break;
    raw->vt = static_cast<VARTYPE>(value.vt & VT_TYPEMASK);
    elements.push_back(std::move(element));
  }
  return elements;
}

}  // namespace wmihost
