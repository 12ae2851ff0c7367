#include "provider/request/StringTokenizer.h"

#include <utility>

namespace qrv::cim {

StringTokenizer::StringTokenizer(std::string_view source, std::string delimiters, TokenizerMode mode)
    : source_(source), delimiters_(std::move(delimiters)), mode_(mode) {}

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
  if (mode_ == TokenizerMode::AnyOf) return source_.find_first_of(delimiters_, position_);
  return source_.find(delimiters_, position_);
}

}  // namespace qrv::cim
