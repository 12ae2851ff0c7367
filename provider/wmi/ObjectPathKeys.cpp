#include "provider/wmi/ObjectPathKeys.h"

namespace qrv::cim {

namespace {

// Every occurrence of `from` in `text`, left to right, replaced by `to`.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string unescape(const std::string& value) {
  return replaceAll(replaceAll(value, "\\\"", "\""), "\\\\", "\\");
}

// The position of the quote that closes the value after the "=" at `equals`:
// the first `",` whose quote has no backslash before it; npos when none.
size_t closingQuote(const std::string& keys, size_t equals) {
  size_t end = keys.find("\",", equals);
  while (end != std::string::npos && keys[end - 1] == '\\') end = keys.find("\",", end + 2);
  return end;
}

// keys[begin, end) when that range is not empty, else the empty text.
std::string range(const std::string& keys, size_t begin, size_t end) {
  return begin < end ? keys.substr(begin, end - begin) : std::string();
}

}  // namespace

std::string objectPathClass(const std::string& path) { return path.substr(0, path.find('.')); }

KeyValues parseObjectPathKeys(const std::string& path) {
  const size_t dot = path.find('.');
  const std::string keys = dot == std::string::npos ? path : path.substr(dot + 1);
  KeyValues values;
  size_t start = 0;
  for (;;) {
    const size_t equals = keys.find('=', start);
    if (equals == std::string::npos) break;
    const size_t end = closingQuote(keys, equals);
    const size_t valueEnd = end == std::string::npos ? keys.size() - 1 : end;
    values.emplace(keys.substr(start, equals - start), unescape(range(keys, equals + 2, valueEnd)));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return values;
}

}  // namespace qrv::cim
