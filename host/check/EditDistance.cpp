#include "host/check/EditDistance.h"

#include <algorithm>
#include <vector>

namespace wmihost {

std::size_t editDistance(std::string_view from, std::string_view to) {
  // Three rows of the table of distances between prefixes: the row before
  // the last is what a swap looks back to.
  const std::size_t width = to.size() + 1;
  std::vector<std::size_t> before(width), last(width), row(width);
  for (std::size_t j = 0; j < width; ++j) last[j] = j;
  for (std::size_t i = 1; i <= from.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j < width; ++j) {
      const std::size_t cost = from[i - 1] == to[j - 1] ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
      if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    std::swap(before, last);
    std::swap(last, row);
  }
  return last[to.size()];
}

}  // namespace wmihost
