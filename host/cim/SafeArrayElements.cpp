#include "host/cim/SafeArrayElements.h"

#include <utility>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"

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

SAFEARRAY* newTextArray(const std::vector<std::string>& texts) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
  for (LONG i = 0; array && i < static_cast<LONG>(texts.size()); ++i) {
    const qrv::com::Bstr text(qrv::com::toWide(texts[static_cast<std::size_t>(i)]));
    if (FAILED(SafeArrayPutElement(array, &i, text.get()))) {
      SafeArrayDestroy(array);
      array = nullptr;
    }
  }
  return array;
}

}  // namespace wmihost
