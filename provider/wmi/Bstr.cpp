#include "provider/wmi/Bstr.h"

namespace qrv::cim {

Bstr::Bstr(const WideText& text) : text_(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {
  if (!text_) throw BstrAllocationError();
}

}  // namespace qrv::cim
