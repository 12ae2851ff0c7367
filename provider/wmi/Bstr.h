#pragma once

#include <new>

#include "compat/com/wmi_sdk.h"
#include "provider/wmi/TextConversion.h"

namespace qrv::cim {

// The failure to allocate a BSTR, which carries E_OUTOFMEMORY. It is a
// std::bad_alloc, so that every out-of-memory condition is caught alike.
class BstrAllocationError : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "BSTR allocation failed (E_OUTOFMEMORY)"; }
};

// An owned BSTR, freed when the holder goes.
class Bstr {
 public:
  // A copy of `text`; throws BstrAllocationError when it cannot be allocated.
  explicit Bstr(WideTextView text);
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return text_; }

  // Hands the string over to a new owner, such as a VARIANT.
  BSTR release() {
    BSTR text = text_;
    text_ = nullptr;
    return text;
  }

 private:
  BSTR text_;
};

}  // namespace qrv::cim
