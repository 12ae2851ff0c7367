#pragma once
// The tokens of a WQL text and a reader over them, shared by the parsers of
// its statements. Tokens are words (letters, digits and _, not starting
// with a digit), strings in single or double quotes (a backslash takes the
// next character as it is), numbers (digits with a fraction and exponent,
// or 0x and hex digits), symbols (<> != <= >= = < > ( ) , * - +) and object
// paths in braces, taken as they are written up to the first } outside
// double quotes. Blanks part them. Positions count from 1.
//
// One pass over the text, so the time is linear in its length.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wmihost {

struct WqlToken {
  enum class Kind { Word, String, Number, Symbol, ObjectPath, End };
  Kind kind = Kind::End;
  // The word, the number, the symbol or the path as written; the string's
  // value.
  std::string text;
  // Of the token's first character; of the path's first within its braces.
  std::size_t position = 0;
};

class WqlTokens {
 public:
  // Throws QueryError at an unexpected character, an open string or path,
  // or a malformed number.
  explicit WqlTokens(std::string_view text);

  const WqlToken& peek() const { return tokens_[at_]; }
  // The current token, moving past it; the last token, End, stays.
  const WqlToken& take();

  // Whether the current token is the word, found ignoring case.
  bool isWord(std::string_view word) const;
  bool acceptWord(std::string_view word);
  // Throws QueryError "reason, found ..." when the word is not next.
  void expectWord(std::string_view word, const std::string& reason);
  bool isSymbol(std::string_view symbol) const;
  bool acceptSymbol(std::string_view symbol);

  [[noreturn]] void fail(const WqlToken& token, const std::string& reason) const;
  // The token as a message names it: 'word', a string, the end of the query.
  static std::string describe(const WqlToken& token);

 private:
  std::vector<WqlToken> tokens_;
  std::size_t at_ = 0;
};

}  // namespace wmihost
