#pragma once
// GetTempFileNameA with unique number 0: creates a new empty file in
// directory named with the first three characters of prefix, a hexadecimal
// number (1 to FFFF, starting from the clock) and ".TMP".

#include <optional>
#include <string>

namespace rulo::posix {

// The new file's path; nothing, with errno set, when none could be created.
std::optional<std::string> createUniqueFile(const std::string& directory, const std::string& prefix);

}  // namespace rulo::posix
