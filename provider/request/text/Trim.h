#pragma once

#include <string_view>

namespace qrv::cim {

enum class TrimSide { Left, Right, Both };

// The text without the characters of `set` at the given side or sides: a
// view into `text`, valid as long as the text is.
std::string_view trim(std::string_view text, std::string_view set, TrimSide side);

}  // namespace qrv::cim
