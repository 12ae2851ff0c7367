#include "provider/wmi/ResultTextToWide.h"

#include "common/text/Unicode.h"

namespace qrv::cim {

com::WideText resultTextToWide(std::string_view text, UINT ansiCodePage) {
  text = text.substr(0, text.find('\0'));
  return com::toWide(text, unicode::isWellFormedUtf8(text) ? CP_UTF8 : ansiCodePage);
}

}  // namespace qrv::cim
