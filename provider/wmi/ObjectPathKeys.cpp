#include "provider/wmi/ObjectPathKeys.h"

#include <algorithm>
#include <string_view>

namespace qrv::cim {

namespace {

constexpr size_t npos = std::string_view::npos;

// The path from its class name on: a server and namespace end at a ":"
// before the first "=", which no key value can hold.
std::string_view relativePath(std::string_view path) {
  const size_t colon = path.find(':');
  return colon < path.find('=') ? path.substr(colon + 1) : path;
}

// \" reads as " and \\ as \; any other character, and a backslash before
// anything else, stays as it is.
std::string unescape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && (value[i + 1] == '"' || value[i + 1] == '\\')) ++i;
    text += value[i];
  }
  return text;
}

// The position of the quote that closes the value whose opening quote is at
// `open`: the first `",` outside an escape, the opening quote's own included
// (a value cut short there is empty); npos when none.
size_t closingQuote(std::string_view keys, size_t open) {
  for (size_t i = open; i < keys.size(); ++i) {
    if (keys[i] == '\\') {
      ++i;
    } else if (keys[i] == '"' && i + 1 < keys.size() && keys[i + 1] == ',') {
      return i;
    }
  }
  return npos;
}

// keys[begin, end) when that range is not empty, else the empty text.
std::string_view range(std::string_view keys, size_t begin, size_t end) {
  return begin < end ? keys.substr(begin, end - begin) : std::string_view();
}

// A control character, or U+FFFE or U+FFFF in UTF-8: what XML forbids, or
// reads back changed.
bool fitsNoDocument(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20; }) ||
         text.find("\xEF\xBF\xBE") != std::string::npos || text.find("\xEF\xBF\xBF") != std::string::npos;
}

}  // namespace

std::string objectPathClass(const std::string& path) {
  const std::string_view relative = relativePath(path);
  return std::string(relative.substr(0, relative.find('.')));
}

KeyValues parseObjectPathKeys(const std::string& path) {
  const std::string_view relative = relativePath(path);
  const size_t dot = relative.find('.');
  const std::string_view keys = dot == npos ? relative : relative.substr(dot + 1);
  KeyValues values;
  size_t start = 0;
  for (;;) {
    const size_t equals = keys.find('=', start);
    if (equals == npos) break;
    const std::string key(keys.substr(start, equals - start));
    size_t next = npos;
    if (equals + 1 < keys.size() && keys[equals + 1] == '"') {
      const size_t end = closingQuote(keys, equals + 1);
      values.emplace(key, unescape(range(keys, equals + 2, end == npos ? keys.size() - 1 : end)));
      if (end != npos) next = end + 2;
    } else {
      const size_t comma = keys.find(',', equals);
      values.emplace(key, std::string(range(keys, equals + 1, comma == npos ? keys.size() : comma)));
      if (comma != npos) next = comma + 1;
    }
    if (next == npos) break;
    start = next;
  }
  return values;
}

bool keysFitTheRequestDocument(const KeyValues& keys) {
  return std::none_of(keys.begin(), keys.end(),
                      [](const auto& key) { return fitsNoDocument(key.first) || fitsNoDocument(key.second); });
}

}  // namespace qrv::cim
