#include "host/owned_bstr.h"

#include <new>

#include "host/text.h"

namespace wmihost {

OwnedBstr::OwnedBstr(std::u16string_view text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
  if (!text_) throw std::bad_alloc();
}

OwnedBstr::OwnedBstr(std::string_view utf8) : OwnedBstr(std::u16string_view(toUtf16(utf8))) {}

BSTR* OwnedBstr::put() {
  SysFreeString(std::exchange(text_, nullptr));
  return &text_;
}

}  // namespace wmihost
