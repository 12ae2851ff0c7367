#pragma once

#include <new>
#include <utility>

#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"

namespace qrv::com {

// The failure to allocate a BSTR, which carries E_OUTOFMEMORY. It is a
// std::bad_alloc, so that every out-of-memory condition is caught alike.
class BstrAllocationError : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "BSTR allocation failed (E_OUTOFMEMORY)"; }
};

// An owned BSTR, freed when the holder goes; null at first when made empty.
class Bstr {
 public:
  Bstr() = default;
  // A copy of `text`; throws BstrAllocationError when it cannot be allocated.
  explicit Bstr(WideTextView text);
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(text_, other.text_);
    return *this;
  }

  BSTR get() const { return text_; }
  // The text, empty for a null string.
  WideTextView view() const { return text_ ? WideTextView(text_, SysStringLen(text_)) : WideTextView(); }

  // Frees the current string and hands out the slot for a call that
  // returns a new one.
  BSTR* put() {
    SysFreeString(std::exchange(text_, nullptr));
    return &text_;
  }

  // Hands the string over to a new owner, such as a VARIANT.
  BSTR release() { return std::exchange(text_, nullptr); }

 private:
  BSTR text_ = nullptr;
};

}  // namespace qrv::com
