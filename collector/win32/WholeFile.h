#pragma once
// A file written whole or not at all.

#include <string>

namespace collector {

// Writes the bytes to a temporary file beside path, then moves it over
// path (MoveFileEx, replacing): path holds the new bytes or what it held
// before. Throws std::runtime_error with the failure; the temporary file is
// removed then.
void writeWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace collector
