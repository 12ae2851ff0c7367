#include "common/com/Bstr.h"

namespace qrv::com {

Bstr::Bstr(WideTextView text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
  if (!text_) throw BstrAllocationError();
}

}  // namespace qrv::com
