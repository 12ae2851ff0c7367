#include "provider/request/document/AttributesShape.h"

#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {

namespace {

constexpr std::string_view kValueStart = " value=\"";

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string attributesShape(std::string_view block, std::vector<std::string>& values) {
  // Names and values are escaped, so double quotes stand only around them:
  // an opening quote, the text, a closing quote, markup up to the next
  // opening quote.
  std::string shape;
  std::size_t markup = 0;
  for (std::size_t open = block.find('"'); open != std::string_view::npos; open = block.find('"', markup + 1)) {
    const std::size_t close = block.find('"', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view before = block.substr(markup, open + 1 - markup);
    const std::string_view text = block.substr(open + 1, close - open - 1);
    shape.append(before);
    if (endsWith(before, kValueStart)) {
      values.push_back(unescapeXml(text));
    } else {
      shape.append(text);
    }
    markup = close;
  }
  shape.append(block.substr(markup));
  return shape;
}

}  // namespace qrv::cim
