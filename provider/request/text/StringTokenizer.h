#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qrv::cim {

enum class TokenizerMode {
  AnyOf,        // every character of the delimiter string separates on its own
  WholeString,  // only the complete delimiter string separates
};

// Cuts a text into the pieces between its separators: n separators give
// n + 1 pieces, empty ones included; an empty text gives none. The source is
// viewed, not copied, so it must outlive the tokenizer. Separators are found
// in one linear pass over the source, however long it is.
class StringTokenizer {
 public:
  StringTokenizer(std::string_view source, std::string delimiters, TokenizerMode mode);
  // The searcher refers to the tokenizer's own copy of the delimiters.
  StringTokenizer(const StringTokenizer&) = delete;
  StringTokenizer& operator=(const StringTokenizer&) = delete;

  bool hasMore() const;
  // The next piece; empty once hasMore() is false.
  std::string_view next();

 private:
  using Searcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;

  std::size_t findSeparator() const;
  std::size_t findAnyOf() const;
  std::size_t findWhole() const;

  std::string_view source_;
  std::string delimiters_;
  TokenizerMode mode_;
  std::array<bool, 256> isDelimiter_{};  // any-of mode
  std::optional<Searcher> searcher_;     // whole-string mode
  std::size_t position_ = 0;             // npos once the last piece has been taken
};

}  // namespace qrv::cim
