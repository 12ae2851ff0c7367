#pragma once
// Paths that name one file whatever the current folder and drive.

#include <string>

namespace rulo {

// A Windows path from the root of a drive ("C:\" or "C:/") or a UNC path
// ("\\server\share", either slash). "C:data" and "\data" are relative to the
// current folder or drive, and a plain name or relative path to the folder.
bool isAbsoluteWindowsPath(const std::string& path);

}  // namespace rulo
