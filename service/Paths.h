#pragma once
// Path text and directories. Paths may use "\" or "/" as separators.

#include <string>

#include "service/platform/Platform.h"

namespace rulo {

// The error of a path that holds a character no path may hold.
constexpr DWORD kErrorInvalidName = 123;

// The directory part of path: the text before its last separator, else before
// its last ":" (C:data.xml gives C); the whole path when it has neither.
std::string SplitPath(const std::string& path);

// The directory that holds path: the text before its last separator; empty
// when it has none.
std::string ContainingDirectory(const std::string& path);

// The path of name beside path: its containing directory and name, joined
// with the separator path itself uses; name alone when path has no directory.
std::string SiblingPath(const std::string& path, const std::string& name);

// Whether path holds a double quote. A command line carries a path in double
// quotes and cannot carry one inside it: Windows and systemd would both split
// the path there, so such a path is refused wherever it would be one.
bool HoldsDoubleQuote(const std::string& path);

// text without one trailing and then one leading double quote.
std::string StripQuotes(std::string text);

// Creates the missing levels of a directory path (quotes around it are
// ignored); directories that exist already are left as they are. True when
// the path names a directory afterwards.
bool EnsureDirectory(const std::string& path);

}  // namespace rulo
