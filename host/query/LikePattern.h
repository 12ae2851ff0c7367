#pragma once
// A WQL LIKE pattern: % stands for any run of characters, _ for any one,
// [abc] and [a-z] for one of a set, [^...] for one outside it; everything
// else for itself. Matching ignores case (see CaseFold.h) and takes time
// proportional to the text's length times the pattern's at most, whatever
// the pattern.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wmihost {

class LikePattern {
 public:
  // Throws QueryError at position for a [ without its ] or an empty set.
  LikePattern(std::u16string_view pattern, std::size_t position);

  bool matches(std::u16string_view text) const;

 private:
  struct Element {
    enum class Kind { AnyRun, AnyOne, One, Set } kind = Kind::One;
    char16_t unit = 0;
    bool negated = false;
    std::vector<std::pair<char16_t, char16_t>> ranges;

    // Whether this element, other than AnyRun, matches one folded unit.
    bool matches(char16_t unit) const;
  };

  std::size_t parseSet(std::u16string_view pattern, std::size_t at, std::size_t position);

  std::vector<Element> elements_;
};

}  // namespace wmihost
