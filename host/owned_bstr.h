#pragma once
// An owning BSTR.

#include <string>
#include <string_view>
#include <utility>

#include "compat/com/wmi_sdk.h"

namespace wmihost {

class OwnedBstr {
 public:
  OwnedBstr() = default;
  // A copy of text; throws std::bad_alloc when it cannot be allocated.
  explicit OwnedBstr(std::u16string_view text);
  explicit OwnedBstr(std::string_view utf8);
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  OwnedBstr(OwnedBstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  OwnedBstr& operator=(OwnedBstr&& other) noexcept {
    std::swap(text_, other.text_);
    return *this;
  }
  ~OwnedBstr() { SysFreeString(text_); }

  BSTR get() const { return text_; }
  // The address of the string for an out argument; frees what was held.
  BSTR* put();
  // Hands the string to the caller.
  BSTR release() { return std::exchange(text_, nullptr); }
  std::u16string_view view() const { return {text_ ? text_ : u"", SysStringLen(text_)}; }

 private:
  BSTR text_ = nullptr;
};

}  // namespace wmihost
