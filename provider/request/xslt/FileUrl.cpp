#include "provider/request/xslt/FileUrl.h"

#include <string_view>

namespace qrv::cim {

namespace {

const char* escapeFor(char c) {
  switch (c) {
    case '%': return "%25";
    case '#': return "%23";
    case '?': return "%3F";
    default: return nullptr;
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Replaces every "%XY" escape by its byte.
std::string unescape(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
      bytes += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

bool startsWithSeparator(const std::string& path) {
  return !path.empty() && (path.front() == '/' || path.front() == '\\');
}

}  // namespace

std::string fileUrl(const std::string& absolutePath) {
  // "file://" + "/tmp/x" on POSIX, "file://" + "/" + "C:/x" for a drive path.
  std::string url = startsWithSeparator(absolutePath) ? "file://" : "file:///";
  for (const char c : absolutePath) {
    if (const char* escape = escapeFor(c)) {
      url += escape;
    } else {
      url += c == '\\' ? '/' : c;
    }
  }
  return url;
}

std::string pathOfFileUrl(const std::string& url) {
  std::string_view rest(url);
  constexpr std::string_view kScheme = "file:";
  if (rest.substr(0, kScheme.size()) != kScheme) return {};
  rest.remove_prefix(kScheme.size());
  // "file:///x" and "file:/x" name the same file; "file://host/x" names none here.
  if (rest.substr(0, 3) == "///") {
    rest.remove_prefix(2);
  } else if (rest.substr(0, 2) == "//") {
    return {};
  }
  if (rest.empty() || rest.front() != '/') return {};
#ifdef _WIN32
  // "/C:/x" is the drive path "C:/x".
  if (rest.size() >= 3 && rest[2] == ':') rest.remove_prefix(1);
#endif
  return unescape(rest);
}

}  // namespace qrv::cim
