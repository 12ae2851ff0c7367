#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace qrv::cim {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

using SharedFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for binary reading that other readers may share while
// writers are refused (on Windows; elsewhere a replaced file never changes
// the bytes an open reader sees). Null when it cannot be opened.
SharedFile openSharedRead(const std::string& path);

}  // namespace qrv::cim
