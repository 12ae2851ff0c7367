#pragma once
// The case folding of WQL's string comparisons: letters compare without
// regard to case, in ASCII, Latin-1, Greek and Cyrillic. Each UTF-16 unit
// folds on its own, so the folded text keeps its length.

#include <string>
#include <string_view>

namespace wmihost {

char16_t foldCase(char16_t unit);
std::u16string foldCase(std::u16string_view text);

}  // namespace wmihost
