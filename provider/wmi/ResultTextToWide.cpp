#include "provider/wmi/ResultTextToWide.h"

#include "common/text/Unicode.h"

namespace qrv::cim {

namespace {

bool isUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  bool invalid = false;
  for (std::size_t i = 0; i < text.size() && !invalid;) {
    char32_t codePoint = 0;
    i = unicode::decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
  }
  return !invalid;
}

}  // namespace

com::WideText resultTextToWide(std::string_view text, UINT ansiCodePage) {
  text = text.substr(0, text.find('\0'));
  return com::toWide(text, isUtf8(text) ? CP_UTF8 : ansiCodePage);
}

}  // namespace qrv::cim
