#include "compat/registry/RegTextLines.h"

#include <algorithm>

#include "common/text/Utf16Le.h"

namespace qrv::regfile {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Whether a trimmed physical line continues on the next one.
bool continues(const std::string& text) {
  return !text.empty() && text.back() == '\\' && text[0] != '[' && text[0] != ';';
}

}  // namespace

std::string trimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

RegTextLines splitRegText(const std::string& bytes) {
  RegTextLines result;
  std::string text;
  if (startsWith(bytes, kUtf16LeMark)) {
    result.encoding = TextEncoding::kUtf16Le;
    text = text::decodeUtf16Le(std::string_view(bytes).substr(kUtf16LeMark.size()));
  } else if (startsWith(bytes, kUtf8Mark)) {
    result.encoding = TextEncoding::kUtf8WithByteOrderMark;
    text = bytes.substr(kUtf8Mark.size());
  } else {
    text = bytes;
  }
  const std::size_t firstEnd = text.find('\n');
  if (firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r') result.newline = "\r\n";

  bool continuing = false;
  std::size_t number = 1;
  for (std::size_t start = 0; start < text.size(); ++number) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::size_t next = std::min(end + 1, text.size());
    const std::string_view raw = std::string_view(text).substr(start, next - start);
    const std::string trimmed = trimBlanks(std::string_view(text).substr(start, end - start));
    if (continuing) {
      result.lines.back().text += trimmed;
      result.lines.back().raw += raw;
    } else {
      result.lines.push_back({number, trimmed, std::string(raw)});
    }
    continuing = continues(trimmed);
    if (continuing) result.lines.back().text.pop_back();
    start = next;
  }
  return result;
}

std::string encodeRegText(const std::string& text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16Le:
      return std::string(kUtf16LeMark) + text::encodeUtf16Le(text);
    case TextEncoding::kUtf8WithByteOrderMark:
      return std::string(kUtf8Mark) + text;
    case TextEncoding::kUtf8:
      break;
  }
  return text;
}

}  // namespace qrv::regfile
