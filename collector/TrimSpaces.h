#pragma once
// Text without the spaces around it, as firmware, drivers and installers pad
// their strings.

#include <string_view>

namespace collector {

// The text without leading and trailing spaces (U+0020 only); empty when it
// holds nothing else.
std::string_view trimSpaces(std::string_view text);

}  // namespace collector
