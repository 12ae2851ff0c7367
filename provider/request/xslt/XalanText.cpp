#include "provider/request/xslt/XalanText.h"

#include <xalanc/PlatformSupport/DOMStringHelper.hpp>

namespace qrv::cim {

std::string narrow(const xalanc::XalanDOMString& text) {
  xalanc::CharVectorType bytes;
  xalanc::TranscodeToLocalCodePage(text, bytes, true, '?');
  return bytes.empty() ? std::string() : std::string(&bytes[0]);
}

}  // namespace qrv::cim
