#pragma once

#include "compat/com/wmi_sdk.h"
#include "provider/wmi/TextConversion.h"

namespace qrv::cim {

// An owned VARIANT, empty at first and cleared when the holder goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

// Clears `target` and makes it a VT_BSTR holding a copy of `text`. Throws
// BstrAllocationError when the string cannot be allocated.
void assignText(VARIANT* target, WideTextView text);

}  // namespace qrv::cim
