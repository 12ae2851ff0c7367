#pragma once
// An owning VARIANT: cleared when it goes, deeply copied when copied.

#include <string_view>

#include "compat/com/wmi_sdk.h"

namespace wmihost {

class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&value_); }
  // A deep copy of value; throws std::bad_alloc when it cannot be made.
  explicit OwnedVariant(const VARIANT& value);
  OwnedVariant(const OwnedVariant& other) : OwnedVariant(other.value_) {}
  OwnedVariant(OwnedVariant&& other) noexcept;
  OwnedVariant& operator=(OwnedVariant other) noexcept;
  ~OwnedVariant() { VariantClear(&value_); }

  // VT_NULL, the value of an unset property.
  static OwnedVariant null();
  // A VT_BSTR holding text.
  static OwnedVariant text(std::u16string_view text);

  const VARIANT& operator*() const { return value_; }
  const VARIANT* operator->() const { return &value_; }
  // The value for writing; what it held is cleared first.
  VARIANT* put();
  // The value itself, for calls that take a VARIANT* to read from (Put).
  VARIANT* get() { return &value_; }
  // Copies the value into an uninitialised VARIANT the caller owns.
  HRESULT copyTo(VARIANT* target) const;

 private:
  VARIANT value_;
};

}  // namespace wmihost
