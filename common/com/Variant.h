#pragma once

#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"

namespace qrv::com {

// An owned VARIANT, empty at first and cleared when the holder goes; a copy
// is a deep copy.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  // A deep copy of value; throws std::bad_alloc when it cannot be made.
  explicit Variant(const VARIANT& value);
  Variant(const Variant& other) : Variant(other.value_) {}
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant() { VariantClear(&value_); }

  // VT_NULL, the value of an unset property.
  static Variant null();
  // A VT_BSTR holding a copy of text.
  static Variant text(WideTextView text);

  const VARIANT& operator*() const { return value_; }
  const VARIANT* operator->() const { return &value_; }
  // The value itself, for calls that read or fill it.
  VARIANT* get() { return &value_; }
  // The value for writing; what it held is cleared first.
  VARIANT* put();
  // Copies the value into an uninitialised VARIANT the caller owns.
  HRESULT copyTo(VARIANT* target) const;

 private:
  VARIANT value_;
};

// Clears `target` and makes it a VT_BSTR holding a copy of `text`. Throws
// BstrAllocationError when the string cannot be allocated.
void assignText(VARIANT* target, WideTextView text);

}  // namespace qrv::com
