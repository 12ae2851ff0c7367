#include "provider/request/document/ArrayElementXml.h"

#include "provider/request/text/EscapeXml.h"
#include "provider/request/text/StringTokenizer.h"
#include "provider/request/text/Trim.h"

namespace qrv::cim {

std::string writeArrayElements(std::string_view value) {
  std::string elements;
  StringTokenizer pieces(value, "{,}", TokenizerMode::AnyOf);
  while (pieces.hasMore()) {
    const std::string_view element = trim(pieces.next(), " \"", TrimSide::Both);
    if (element.empty()) continue;
    elements += "<ArrayElement value=\"";
    elements += escapeXml(element);
    elements += "\"/>";
  }
  return elements;
}

}  // namespace qrv::cim
