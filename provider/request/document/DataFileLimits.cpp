#include "provider/request/document/DataFileLimits.h"

#include <string>

#include "provider/request/text/EnvironmentNumber.h"

namespace qrv::cim {

namespace {

// The position after the first `close` at or after `from`, or the end.
std::size_t after(std::string_view xml, std::size_t from, std::string_view close) {
  const std::size_t found = xml.find(close, from);
  return found == std::string_view::npos ? xml.size() : found + close.size();
}

// The position of the '>' that ends the tag starting at `from`, skipping
// quoted attribute values, or the end.
std::size_t tagEnd(std::string_view xml, std::size_t from) {
  char quote = '\0';
  for (std::size_t i = from; i < xml.size(); ++i) {
    if (quote) {
      if (xml[i] == quote) quote = '\0';
    } else if (xml[i] == '"' || xml[i] == '\'') {
      quote = xml[i];
    } else if (xml[i] == '>') {
      return i;
    }
  }
  return xml.size();
}

}  // namespace

DataFileLimits DataFileLimits::current() {
  return {numberFromEnvironment("KORVEX_DATA_FILE_MAX_BYTES", kDefaultMaxBytes),
          numberFromEnvironment("KORVEX_DATA_FILE_MAX_DEPTH", kDefaultMaxDepth)};
}

bool nestsDeeperThan(std::string_view xml, std::size_t maxDepth) {
  std::size_t depth = 0;
  for (std::size_t i = xml.find('<'); i < xml.size(); i = xml.find('<', i)) {
    const std::string_view rest = xml.substr(i);
    if (rest.compare(0, 4, "<!--") == 0) {
      i = after(xml, i + 4, "-->");
    } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
      i = after(xml, i + 9, "]]>");
    } else if (rest.compare(0, 2, "<?") == 0) {
      i = after(xml, i + 2, "?>");
    } else if (rest.compare(0, 2, "<!") == 0 || rest.compare(0, 2, "</") == 0) {
      if (rest[1] == '/' && depth > 0) --depth;
      i = after(xml, i + 2, ">");
    } else {
      const std::size_t end = tagEnd(xml, i + 1);
      if (end < xml.size() && xml[end - 1] != '/' && ++depth > maxDepth) return true;
      i = end;
    }
  }
  return false;
}

}  // namespace qrv::cim
