#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qrv::cim {

enum class TokenizerMode {
  AnyOf,        // every character of the delimiter string separates on its own
  WholeString,  // only the complete delimiter string separates
};

// Cuts a text into the pieces between its separators: n separators give
// n + 1 pieces, empty ones included; an empty text gives none. The source is
// viewed, not copied, so it must outlive the tokenizer.
class StringTokenizer {
 public:
  StringTokenizer(std::string_view source, std::string delimiters, TokenizerMode mode);

  bool hasMore() const;
  // The next piece; empty once hasMore() is false.
  std::string_view next();

 private:
  std::size_t findSeparator() const;

  std::string_view source_;
  std::string delimiters_;
  TokenizerMode mode_;
  std::size_t position_ = 0;  // npos once the last piece has been taken
};

}  // namespace qrv::cim
