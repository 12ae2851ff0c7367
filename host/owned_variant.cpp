#include "host/owned_variant.h"

#include <new>
#include <utility>

#include "host/owned_bstr.h"

namespace wmihost {

OwnedVariant::OwnedVariant(const VARIANT& value) {
  VariantInit(&value_);
  if (FAILED(VariantCopy(&value_, &value))) throw std::bad_alloc();
}

OwnedVariant::OwnedVariant(OwnedVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

OwnedVariant& OwnedVariant::operator=(OwnedVariant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

OwnedVariant OwnedVariant::null() {
  OwnedVariant value;
  value.value_.vt = VT_NULL;
  return value;
}

OwnedVariant OwnedVariant::text(std::u16string_view text) {
  OwnedVariant value;
  value.value_.bstrVal = OwnedBstr(text).release();
  value.value_.vt = VT_BSTR;
  return value;
}

VARIANT* OwnedVariant::put() {
  VariantClear(&value_);
  return &value_;
}

HRESULT OwnedVariant::copyTo(VARIANT* target) const {
  VariantInit(target);
  return VariantCopy(target, &value_);
}

}  // namespace wmihost
