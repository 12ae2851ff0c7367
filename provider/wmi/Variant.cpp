#include "provider/wmi/Variant.h"

#include "provider/wmi/Bstr.h"

namespace qrv::cim {

void assignText(VARIANT* target, WideTextView text) {
  Bstr copy(text);
  VariantClear(target);
  target->vt = VT_BSTR;
  target->bstrVal = copy.release();
}

}  // namespace qrv::cim
