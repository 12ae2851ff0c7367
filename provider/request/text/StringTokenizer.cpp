#include "provider/request/text/StringTokenizer.h"

#include <algorithm>
#include <utility>

namespace qrv::cim {

StringTokenizer::StringTokenizer(std::string_view source, std::string delimiters, TokenizerMode mode)
    : source_(source), delimiters_(std::move(delimiters)), mode_(mode) {
  if (mode_ == TokenizerMode::AnyOf) {
    for (const char c : delimiters_) isDelimiter_[static_cast<unsigned char>(c)] = true;
  } else {
    searcher_.emplace(delimiters_.begin(), delimiters_.end());
  }
}

bool StringTokenizer::hasMore() const {
  return !source_.empty() && !delimiters_.empty() && position_ != std::string_view::npos;
}

std::string_view StringTokenizer::next() {
  if (!hasMore()) return {};
  const std::size_t separator = findSeparator();
  if (separator == std::string_view::npos) {
    const std::string_view piece = source_.substr(position_);
    position_ = std::string_view::npos;
    return piece;
  }
  const std::string_view piece = source_.substr(position_, separator - position_);
  position_ = separator + (mode_ == TokenizerMode::AnyOf ? 1 : delimiters_.size());
  return piece;
}

std::size_t StringTokenizer::findSeparator() const {
  return mode_ == TokenizerMode::AnyOf ? findAnyOf() : findWhole();
}

std::size_t StringTokenizer::findAnyOf() const {
  for (std::size_t i = position_; i < source_.size(); ++i) {
    if (isDelimiter_[static_cast<unsigned char>(source_[i])]) return i;
  }
  return std::string_view::npos;
}

std::size_t StringTokenizer::findWhole() const {
  const auto rest = source_.begin() + static_cast<std::ptrdiff_t>(position_);
  const auto found = std::search(rest, source_.end(), *searcher_);
  return found == source_.end() ? std::string_view::npos : static_cast<std::size_t>(found - source_.begin());
}

}  // namespace qrv::cim
