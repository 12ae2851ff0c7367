#include "host/cim/MofLexer.h"

#include <cctype>
#include <utility>

#include "host/cim/MofError.h"

namespace wmihost {

namespace {

bool isWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool isNumberStart(char c, char following) {
  return std::isdigit(static_cast<unsigned char>(c)) ||
         ((c == '-' || c == '+') && std::isdigit(static_cast<unsigned char>(following)));
}
bool isSymbol(char c) { return std::string_view("[](){};:,=#").find(c) != std::string_view::npos; }

char unescape(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case 'r':
      return '\r';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    default:
      return c;
  }
}

}  // namespace

MofLexer::MofLexer(std::string_view text, std::string fileName) : text_(text), fileName_(std::move(fileName)) {}

void MofLexer::fail(int line, const std::string& message) const { throw MofError(fileName_, line, message); }

char MofLexer::peek(std::size_t ahead) const {
  return position_ + ahead < text_.size() ? text_[position_ + ahead] : '\0';
}

void MofLexer::skipBlanksAndComments() {
  while (!atEnd()) {
    if (peek() == '\n') {
      ++line_;
      ++position_;
    } else if (std::isspace(static_cast<unsigned char>(peek()))) {
      ++position_;
    } else if (peek() == '/' && peek(1) == '/') {
      while (!atEnd() && peek() != '\n') ++position_;
    } else if (peek() == '/' && peek(1) == '*') {
      const int startLine = line_;
      position_ += 2;
      while (!atEnd() && !(peek() == '*' && peek(1) == '/')) {
        if (peek() == '\n') ++line_;
        ++position_;
      }
      if (atEnd()) fail(startLine, "unterminated comment");
      position_ += 2;
    } else {
      return;
    }
  }
}

Token MofLexer::next() {
  skipBlanksAndComments();
  if (atEnd()) return Token{TokenKind::End, "", line_};
  const char c = peek();
  if (isWordStart(c)) return readWord(TokenKind::Identifier);
  if (isNumberStart(c, peek(1))) return readWord(TokenKind::Number);
  if (c == '"') return readString();
  if (c == '$' && isWordStart(peek(1))) return readAlias();
  if (isSymbol(c)) {
    ++position_;
    return Token{TokenKind::Symbol, std::string(1, c), line_};
  }
  fail(line_, std::string("unexpected character '") + c + "'");
}

// An identifier or a number: a first character, then letters, digits and
// underscores, and dots in a number.
Token MofLexer::readWord(TokenKind kind) {
  const std::size_t start = position_++;
  while (!atEnd() && (isWordChar(peek()) || (kind == TokenKind::Number && peek() == '.'))) ++position_;
  return Token{kind, std::string(text_.substr(start, position_ - start)), line_};
}

// $name: the name of an instance, given after "as" and used as a value.
Token MofLexer::readAlias() {
  ++position_;
  Token alias = readWord(TokenKind::Identifier);
  alias.kind = TokenKind::Alias;
  return alias;
}

Token MofLexer::readString() {
  Token token{TokenKind::String, "", line_};
  ++position_;
  while (!atEnd() && peek() != '"' && peek() != '\n') {
    char c = text_[position_++];
    if (c == '\\' && !atEnd() && peek() != '\n') c = unescape(text_[position_++]);
    token.text += c;
  }
  if (peek() != '"') fail(token.line, "unterminated string");
  ++position_;
  return token;
}

}  // namespace wmihost
