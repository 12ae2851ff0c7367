#pragma once
// File helpers for tests that lay out real files in a temporary tree.

#include <string>

namespace qrv::test {

// The environment variable that names the root of a relocated copy.
inline constexpr char kRelocatedRootVariable[] = "QRV_TEST_RELOCATED_ROOT";

// The private module root of a RELOCATED test program: the directory whose
// bin/ holds the running executable. Empty in other test programs.
std::string relocatedRoot();

// Writes bytes to path, creating missing parent directories.
void writeFile(const std::string& path, const std::string& bytes);

// Reads a whole file; throws std::runtime_error when it cannot be read.
std::string readFile(const std::string& path);

// Creates a fresh directory below the system's temporary directory.
std::string makeTempDir(const std::string& prefix);

// Removes a file or a directory tree; missing paths are ignored.
void removeTree(const std::string& path);

}  // namespace qrv::test
