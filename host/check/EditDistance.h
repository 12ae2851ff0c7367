#pragma once
// How far apart two names are as typing goes: the fewest insertions,
// deletions, substitutions and swaps of two neighbouring characters that
// turn one into the other ("Enumarate" is 1 from "Enumerate", "Gte" 1 from
// "Get"). Letter case counts.

#include <cstddef>
#include <string_view>

namespace wmihost {

std::size_t editDistance(std::string_view from, std::string_view to);

}  // namespace wmihost
