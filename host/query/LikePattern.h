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

#include "common/com/TextConversion.h"

namespace wmihost {

class LikePattern {
 public:
  // Throws QueryError at position for a [ without its ] or an empty set.
  LikePattern(qrv::com::WideTextView pattern, std::size_t position);

  bool matches(qrv::com::WideTextView text) const;

 private:
  struct Element {
    enum class Kind { AnyRun, AnyOne, One, Set } kind = Kind::One;
    WCHAR unit = 0;
    bool negated = false;
    std::vector<std::pair<WCHAR, WCHAR>> ranges;

    // Whether this element, other than AnyRun, matches one folded unit.
    bool matches(WCHAR unit) const;
  };

  std::size_t parseSet(qrv::com::WideTextView pattern, std::size_t at, std::size_t position);

  std::vector<Element> elements_;
};

}  // namespace wmihost
