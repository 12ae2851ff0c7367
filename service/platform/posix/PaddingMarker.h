#pragma once
// The padding marker: on Windows a resource of type "PADDING_ENABLED" named
// 122 in the collector executable; on Linux the text "PADDING_ENABLED:122"
// anywhere in the collector's bytes (a string constant in a binary, a comment
// in a script).

#include <string>

namespace rulo::posix {

constexpr const char* kPaddingMarker = "PADDING_ENABLED:122";

// Whether the file holds the marker; false when it cannot be read.
bool hasPaddingMarker(const std::string& path);

}  // namespace rulo::posix
