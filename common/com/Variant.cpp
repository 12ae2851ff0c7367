#include "common/com/Variant.h"

#include <new>
#include <utility>

#include "common/com/Bstr.h"

namespace qrv::com {

namespace {

// Some SDK headers declare the source of VariantCopy without const; it is
// only read.
HRESULT copyVariant(VARIANT* target, const VARIANT& source) {
  return VariantCopy(target, const_cast<VARIANT*>(&source));
}

}  // namespace

Variant::Variant(const VARIANT& value) {
  VariantInit(&value_);
  if (FAILED(copyVariant(&value_, value))) throw std::bad_alloc();
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

Variant Variant::null() {
  Variant value;
  value.value_.vt = VT_NULL;
  return value;
}

Variant Variant::text(WideTextView text) {
  Variant value;
  assignText(&value.value_, text);
  return value;
}

VARIANT* Variant::put() {
  VariantClear(&value_);
  return &value_;
}

HRESULT Variant::copyTo(VARIANT* target) const {
  VariantInit(target);
  return copyVariant(target, value_);
}

void assignText(VARIANT* target, WideTextView text) {
  Bstr copy(text);
  VariantClear(target);
  target->vt = VT_BSTR;
  target->bstrVal = copy.release();
}

}  // namespace qrv::com
