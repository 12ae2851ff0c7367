#include "host/query/LikePattern.h"

#include <algorithm>

#include "host/query/CaseFold.h"
#include "host/query/QueryError.h"

namespace wmihost {

LikePattern::LikePattern(qrv::com::WideTextView pattern, std::size_t position) {
  for (std::size_t at = 0; at < pattern.size();) {
    const WCHAR unit = pattern[at];
    if (unit == u'%') {
      // A run of % means what one does.
      if (elements_.empty() || elements_.back().kind != Element::Kind::AnyRun) {
        elements_.push_back({Element::Kind::AnyRun, 0, false, {}});
      }
      ++at;
    } else if (unit == u'_') {
      elements_.push_back({Element::Kind::AnyOne, 0, false, {}});
      ++at;
    } else if (unit == u'[') {
      at = parseSet(pattern, at + 1, position);
    } else {
      elements_.push_back({Element::Kind::One, foldCase(unit), false, {}});
      ++at;
    }
  }
}

// Reads a set after its [ and returns the position after its ].
std::size_t LikePattern::parseSet(qrv::com::WideTextView pattern, std::size_t at, std::size_t position) {
  Element set{Element::Kind::Set, 0, false, {}};
  if (at < pattern.size() && pattern[at] == u'^') {
    set.negated = true;
    ++at;
  }
  while (at < pattern.size() && pattern[at] != u']') {
    const WCHAR first = foldCase(pattern[at]);
    WCHAR last = first;
    if (at + 2 < pattern.size() && pattern[at + 1] == u'-' && pattern[at + 2] != u']') {
      last = foldCase(pattern[at + 2]);
      at += 2;
    }
    set.ranges.emplace_back(std::min(first, last), std::max(first, last));
    ++at;
  }
  if (at == pattern.size()) throw QueryError(position, "the LIKE pattern has a [ without its ]");
  if (set.ranges.empty()) throw QueryError(position, "the LIKE pattern has an empty set []");
  elements_.push_back(std::move(set));
  return at + 1;
}

bool LikePattern::Element::matches(WCHAR folded) const {
  switch (kind) {
    case Kind::AnyOne:
      return true;
    case Kind::One:
      return folded == unit;
    case Kind::Set: {
      const bool inSet = std::any_of(ranges.begin(), ranges.end(), [folded](const auto& range) {
        return folded >= range.first && folded <= range.second;
      });
      return inSet != negated;
    }
    default:
      return false;
  }
}

// Greedy matching that goes back only to the last %, which makes it
// O(text x pattern) rather than exponential.
bool LikePattern::matches(qrv::com::WideTextView text) const {
  std::size_t element = 0;
  std::size_t at = 0;
  std::size_t lastRun = elements_.size();
  std::size_t runStart = 0;
  while (at < text.size()) {
    if (element < elements_.size() && elements_[element].kind == Element::Kind::AnyRun) {
      lastRun = element++;
      runStart = at;
    } else if (element < elements_.size() && elements_[element].matches(foldCase(text[at]))) {
      ++element;
      ++at;
    } else if (lastRun < elements_.size()) {
      element = lastRun + 1;
      at = ++runStart;
    } else {
      return false;
    }
  }
  while (element < elements_.size() && elements_[element].kind == Element::Kind::AnyRun) ++element;
  return element == elements_.size();
}

}  // namespace wmihost
