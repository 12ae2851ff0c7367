#pragma once

#include <string>

namespace qrv::cim {

// The file: URL of an absolute path, for XML libraries that read a system
// identifier as a URL. A bare path holding "%", "#" or "?" would be taken
// apart as an escape, a fragment or a query and name no file, so these three
// are escaped; every other byte, non-ASCII ones included, is kept as it is,
// and backslashes become slashes.
std::string fileUrl(const std::string& absolutePath);

// The native path of a file: URL as the XML libraries write them ("file:",
// one or three slashes, escapes), the reverse of fileUrl; empty for any
// other URL.
std::string pathOfFileUrl(const std::string& url);

}  // namespace qrv::cim
