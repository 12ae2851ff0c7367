#include "provider/wmi/ObjectPathKeys.h"

#include <algorithm>

#include "common/text/AsciiCase.h"

namespace qrv::cim {

namespace {

using text::equalsIgnoringAsciiCase;

constexpr size_t npos = std::string_view::npos;

bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool isQuote(char c) { return c == '"' || c == '\''; }

// A backslash before the value's quote or before a backslash reads as that
// character; any other character, and a backslash before anything else,
// stays as it is.
std::string unescape(std::string_view value, char quote) {
  std::string text;
  text.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && (value[i + 1] == quote || value[i + 1] == '\\')) ++i;
    text += value[i];
  }
  return text;
}

// The position of the quote that closes the value whose opening quote is at
// `open`: the first of the same quote followed by a comma outside an escape,
// the opening quote's own included (a value cut short there is empty); npos
// when none.
size_t closingQuote(std::string_view text, size_t open) {
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == text[open] && i + 1 < text.size() && text[i + 1] == ',') {
      return i;
    }
  }
  return npos;
}

// text[begin, end) when that range is not empty, else the empty text.
std::string_view range(std::string_view text, size_t begin, size_t end) {
  return begin < end ? text.substr(begin, end - begin) : std::string_view();
}

// A value and where the key after it starts: npos when it is the last.
struct ValueText {
  std::string value;
  size_t next;
};

// The value that starts at `at`, quoted or not.
ValueText readValue(std::string_view text, size_t at) {
  if (at < text.size() && isQuote(text[at])) {
    const size_t end = closingQuote(text, at);
    return {unescape(range(text, at + 1, end == npos ? text.size() - 1 : end), text[at]),
            end == npos ? npos : end + 2};
  }
  const size_t comma = text.find(',', at);
  return {std::string(range(text, at, comma == npos ? text.size() : comma)), comma == npos ? npos : comma + 1};
}

// Key=value pairs separated by commas.
KeyValues readKeys(std::string_view keys) {
  KeyValues values;
  size_t start = 0;
  while (start != npos) {
    const size_t equals = keys.find('=', start);
    if (equals == npos) break;
    ValueText value = readValue(keys, equals + 1);
    values.emplace(std::string(keys.substr(start, equals - start)), std::move(value.value));
    start = value.next;
  }
  return values;
}

// The namespace without separators at either end, "\" between its parts and
// its letters in lower case.
std::string namespaceForm(std::string_view name) {
  std::string form = text::toLowerAscii(name);
  std::replace(form.begin(), form.end(), '/', '\\');
  const size_t first = form.find_first_not_of('\\');
  return first == std::string::npos ? std::string() : form.substr(first, form.find_last_not_of('\\') - first + 1);
}

// A control character, or U+FFFE or U+FFFF in UTF-8: what XML forbids, or
// reads back changed.
bool fitsNoDocument(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20; }) ||
         text.find("\xEF\xBF\xBE") != std::string::npos || text.find("\xEF\xBF\xBF") != std::string::npos;
}

}  // namespace

ObjectPathParts readObjectPath(std::string_view path) {
  ObjectPathParts parts;
  std::string_view rest = path;
  if (rest.size() >= 2 && isSeparator(rest[0]) && isSeparator(rest[1])) {
    const size_t serverEnd = rest.find_first_of("\\/", 2);
    parts.server = rest.substr(2, serverEnd == npos ? npos : serverEnd - 2);
    rest = serverEnd == npos ? std::string_view() : rest.substr(serverEnd + 1);
  }
  const size_t nameEnd = rest.find_first_of(".=:\"'");
  if (nameEnd != npos && rest[nameEnd] == ':') {
    parts.nameSpace = rest.substr(0, nameEnd);
    rest.remove_prefix(nameEnd + 1);
  }
  const size_t classEnd = rest.find_first_of(".=:");
  parts.className = rest.substr(0, classEnd);
  if (classEnd == npos) return parts;
  const std::string_view after = rest.substr(classEnd + 1);
  if (rest[classEnd] == '.') {
    parts.keys = readKeys(after);
  } else if (rest[classEnd] == '=' && after == "@") {
    parts.singleton = true;
  } else if (rest[classEnd] == '=') {
    parts.unnamedValue = readValue(after, 0).value;
  }
  return parts;
}

bool isThisMachine(std::string_view server, std::string_view hostName) {
  return server.empty() || server == "." || equalsIgnoringAsciiCase(server, "localhost") ||
         (!hostName.empty() && equalsIgnoringAsciiCase(server, hostName));
}

bool isSameNamespace(std::string_view a, std::string_view b) { return namespaceForm(a) == namespaceForm(b); }

std::optional<KeyValues> keysByName(const ObjectPathParts& path, const std::vector<std::string>& requiredKeys) {
  if (path.singleton) return requiredKeys.empty() ? std::optional<KeyValues>(KeyValues()) : std::nullopt;
  if (!path.unnamedValue) return path.keys;
  if (requiredKeys.size() != 1) return std::nullopt;
  return KeyValues{{requiredKeys.front(), *path.unnamedValue}};
}

bool keysFitTheRequestDocument(const KeyValues& keys) {
  return std::none_of(keys.begin(), keys.end(),
                      [](const auto& key) { return fitsNoDocument(key.first) || fitsNoDocument(key.second); });
}

}  // namespace qrv::cim
