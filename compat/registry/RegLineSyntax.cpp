#include "compat/registry/RegLineSyntax.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "common/text/Unicode.h"
#include "common/text/Utf16Le.h"

namespace qrv::regfile {

namespace {

// Text as UTF-16LE bytes such that any bytes come back unchanged: valid
// UTF-8 as its code points, each byte of an ill-formed sequence as the lone
// low surrogate U+DC00 plus the byte. Well-formed text never yields a lone
// surrogate, so the two cannot be confused.
std::string keptBytesAsUtf16Le(const std::string& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::u16string units;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    bool invalid = false;
    const std::size_t next = unicode::decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
    if (!invalid) unicode::appendUtf16(units, codePoint);
    for (; invalid && i < next; ++i) units += static_cast<char16_t>(0xDC00 + bytes[i]);
    i = next;
  }
  std::string out;
  for (const char16_t unit : units) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

// The reverse of keptBytesAsUtf16Le; any other unpaired surrogate becomes
// U+FFFD.
std::string keptBytesFromUtf16Le(std::string_view bytes) {
  const std::u16string units = text::utf16LeUnits(bytes);
  std::string out;
  for (std::size_t i = 0; i < units.size();) {
    char32_t codePoint = 0;
    bool invalid = false;
    const std::size_t next = unicode::decodeUtf16(units.data(), units.size(), i, &codePoint, &invalid);
    if (invalid && units[i] >= 0xDC80 && units[i] <= 0xDCFF) {
      out += static_cast<char>(units[i] - 0xDC00);
    } else {
      unicode::appendUtf8(out, codePoint);
    }
    i = next;
  }
  return out;
}

std::string escaped(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string hexList(const std::vector<char>& bytes) {
  std::string out;
  char byte[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i) out += ',';
    out += byte;
  }
  return out;
}

bool printable(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

std::string formatData(const Value& value) {
  const bool isText = value.type == kRegSz || value.type == kRegExpandSz;
  if (value.type == kRegSz && printable(textOf(value)) && unicode::isWellFormedUtf8(textOf(value))) return escaped(textOf(value));
  if (isText) {
    const std::string utf16 = keptBytesAsUtf16Le(textOf(value)) + std::string(2, '\0');
    return "hex(" + std::to_string(value.type) + "):" + hexList({utf16.begin(), utf16.end()});
  }
  if (value.type == kRegDword && value.bytes.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.bytes[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
    return text;
  }
  if (value.type == kRegBinary) return "hex:" + hexList(value.bytes);
  char type[16];
  std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
  return type + hexList(value.bytes);
}

}  // namespace

bool isBlankOrComment(const LogicalLine& line) { return line.text.empty() || line.text[0] == ';'; }

bool isSection(const LogicalLine& line) { return !line.text.empty() && line.text[0] == '['; }

void LineReader::fail(const std::string& what) const {
  throw RegistryError(origin_ + ", line " + std::to_string(line_.number) + ": " + what);
}

std::string LineReader::sectionPath() const {
  const std::string& s = line_.text;
  if (s.back() != ']') fail("a [key] section must end with ']'");
  if (s.size() > 1 && s[1] == '-') fail("key deletions ([-key]) are not supported in the registry file");
  return s.substr(1, s.size() - 2);
}

std::pair<std::string, Value> LineReader::value() const {
  const std::string& s = line_.text;
  std::size_t pos = 0;
  std::string name;
  if (s[0] == '@') {
    pos = 1;
  } else if (s[0] == '"') {
    name = quoted(s, pos);
  } else {
    fail("expected a [key] section, a \"name\"= or @= value line");
  }
  if (pos >= s.size() || s[pos] != '=') fail("expected '=' after the value name");
  return {name, data(trimBlanks(std::string_view(s).substr(pos + 1)))};
}

// The quoted text starting at s[pos]; pos ends after the closing quote.
std::string LineReader::quoted(const std::string& s, std::size_t& pos) const {
  std::string out;
  for (++pos; pos < s.size(); ++pos) {
    if (s[pos] == '"') {
      ++pos;
      return out;
    }
    if (s[pos] == '\\') {
      if (pos + 1 >= s.size() || (s[pos + 1] != '\\' && s[pos + 1] != '"')) {
        fail("a backslash in quoted text must be doubled");
      }
      ++pos;
    }
    out += s[pos];
  }
  fail("quoted text is not closed");
}

Value LineReader::data(const std::string& text) const {
  if (!text.empty() && text[0] == '"') {
    std::size_t pos = 0;
    const std::string value = quoted(text, pos);
    if (pos != text.size()) fail("unexpected text after the closing quote");
    return textValue(value);
  }
  if (text == "-") fail("value deletions (=-) are not supported in the registry file");
  if (text.compare(0, 6, "dword:") == 0) return dwordValue(hexNumber(text.substr(6), 8, "dword"));
  if (text.compare(0, 4, "hex:") == 0) return {kRegBinary, hexBytes(text.substr(4))};
  if (text.compare(0, 4, "hex(") == 0) {
    const std::size_t close = text.find("):");
    if (close == std::string::npos) fail("expected hex(type):");
    const std::uint32_t type = hexNumber(text.substr(4, close - 4), 8, "value type");
    std::vector<char> bytes = hexBytes(text.substr(close + 2));
    if (type == kRegSz || type == kRegExpandSz) {
      if (bytes.size() % 2 != 0) fail("text in hex(" + std::to_string(type) + ") needs an even number of bytes");
      return textValue(keptBytesFromUtf16Le({bytes.data(), bytes.size()}), type);
    }
    return {type, bytes};
  }
  fail("unknown value data: " + text);
}

std::uint32_t LineReader::hexNumber(const std::string& digits, std::size_t maxDigits, const char* what) const {
  const bool valid = !digits.empty() && digits.size() <= maxDigits &&
                     digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  if (!valid) fail(std::string("invalid ") + what + ": " + digits);
  return static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

std::vector<char> LineReader::hexBytes(const std::string& list) const {
  std::vector<char> bytes;
  if (trimBlanks(list).empty()) return bytes;
  std::istringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    bytes.push_back(static_cast<char>(hexNumber(trimBlanks(item), 2, "hex byte")));
  }
  if (list.back() == ',') fail("hex byte list ends with a comma");
  return bytes;
}

std::string sectionLineText(const std::string& path) { return "[" + path + "]"; }

std::string valueLineText(const std::string& name, const Value& value) {
  return (name.empty() ? std::string("@") : escaped(name)) + "=" + formatData(value);
}

}  // namespace qrv::regfile
