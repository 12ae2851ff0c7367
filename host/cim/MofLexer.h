#pragma once
// Splits MOF text into tokens, skipping blanks and both comment forms.

#include <string>
#include <string_view>

namespace wmihost {

enum class TokenKind { Identifier, String, Number, Symbol, Alias, End };

struct Token {
  TokenKind kind = TokenKind::End;
  // The identifier, the number, the symbol character, the string's value
  // with its escapes resolved, or an alias's name without its '$'.
  std::string text;
  int line = 1;
};

class MofLexer {
 public:
  // Errors name fileName.
  MofLexer(std::string_view text, std::string fileName);

  // The next token; End at the end of the text, and again after it.
  Token next();
  [[noreturn]] void fail(int line, const std::string& message) const;

 private:
  void skipBlanksAndComments();
  bool atEnd() const { return position_ >= text_.size(); }
  char peek(std::size_t ahead = 0) const;
  Token readWord(TokenKind kind);
  Token readString();
  Token readAlias();

  std::string_view text_;
  std::string fileName_;
  std::size_t position_ = 0;
  int line_ = 1;
};

}  // namespace wmihost
