#include "provider/request/FileUrl.h"

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

}  // namespace qrv::cim
