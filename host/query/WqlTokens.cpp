#include "host/query/WqlTokens.h"

#include <array>
#include <utility>

#include "common/text/AsciiCase.h"
#include "host/query/QueryError.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Splits the query into tokens in one pass; the last token is End.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<WqlToken> tokens() {
    std::vector<WqlToken> tokens;
    for (;;) {
      while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' ||
                                    text_[at_] == '\n')) {
        ++at_;
      }
      if (at_ == text_.size()) break;
      tokens.push_back(next());
    }
    tokens.push_back({WqlToken::Kind::End, "", text_.size() + 1});
    return tokens;
  }

 private:
  WqlToken next() {
    const char c = text_[at_];
    if (isLetter(c)) return run(WqlToken::Kind::Word, [](char d) { return isLetter(d) || isDigit(d); });
    if (isDigit(c) || (c == '.' && at_ + 1 < text_.size() && isDigit(text_[at_ + 1]))) return number();
    if (c == '\'' || c == '"') return quoted(c);
    if (c == '{') return objectPath();
    return symbol();
  }

  template <typename Accept>
  WqlToken run(WqlToken::Kind kind, Accept accept) {
    const std::size_t start = at_;
    while (at_ < text_.size() && accept(text_[at_])) ++at_;
    return {kind, std::string(text_.substr(start, at_ - start)), start + 1};
  }

  // Digits with an optional fraction and exponent, or 0x and hex digits;
  // the parser reads the value.
  WqlToken number() {
    const std::size_t start = at_;
    if (text_.substr(at_, 2) == "0x" || text_.substr(at_, 2) == "0X") {
      at_ += 2;
      skip(isHexDigit);
    } else {
      skip(isDigit);
      if (at_ < text_.size() && text_[at_] == '.') {
        ++at_;
        skip(isDigit);
      }
      if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
        ++at_;
        if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
        skip(isDigit);
      }
    }
    if (at_ < text_.size() && (isLetter(text_[at_]) || isDigit(text_[at_]) || text_[at_] == '.')) {
      throw QueryError(start + 1, "malformed number");
    }
    return {WqlToken::Kind::Number, std::string(text_.substr(start, at_ - start)), start + 1};
  }

  template <typename Accept>
  void skip(Accept accept) {
    while (at_ < text_.size() && accept(text_[at_])) ++at_;
  }

  WqlToken quoted(char quote) {
    const std::size_t start = at_++;
    std::string value;
    while (at_ < text_.size() && text_[at_] != quote) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
      value += text_[at_++];
    }
    if (at_ == text_.size()) throw QueryError(start + 1, "the string has no closing quote");
    ++at_;
    return {WqlToken::Kind::String, std::move(value), start + 1};
  }

  // The path inside braces as written: a } within a double-quoted value,
  // where a backslash takes the next character, does not end it.
  WqlToken objectPath() {
    const std::size_t start = ++at_;
    bool inQuotes = false;
    while (at_ < text_.size() && (inQuotes || text_[at_] != '}')) {
      if (inQuotes && text_[at_] == '\\' && at_ + 1 < text_.size()) {
        at_ += 2;
        continue;
      }
      if (text_[at_] == '"') inQuotes = !inQuotes;
      ++at_;
    }
    if (at_ == text_.size()) throw QueryError(start, "the object path has no closing }");
    return {WqlToken::Kind::ObjectPath, std::string(text_.substr(start, at_++ - start)), start + 1};
  }

  WqlToken symbol() {
    static constexpr std::array<std::string_view, 13> kSymbols{"<>", "!=", "<=", ">=", "=", "<", ">",
                                                               "(",  ")",  ",",  "*",  "-", "+"};
    for (const std::string_view symbol : kSymbols) {
      if (text_.substr(at_, symbol.size()) == symbol) {
        at_ += symbol.size();
        return {WqlToken::Kind::Symbol, std::string(symbol), at_ - symbol.size() + 1};
      }
    }
    const unsigned char c = static_cast<unsigned char>(text_[at_]);
    throw QueryError(at_ + 1, c >= 0x20 && c < 0x7F ? "unexpected character '" + std::string(1, text_[at_]) + "'"
                                                    : "unexpected character (byte " + std::to_string(c) + ")");
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

WqlTokens::WqlTokens(std::string_view text) : tokens_(Lexer(text).tokens()) {}

const WqlToken& WqlTokens::take() { return tokens_[at_ + 1 < tokens_.size() ? at_++ : at_]; }

bool WqlTokens::isWord(std::string_view word) const {
  return peek().kind == WqlToken::Kind::Word && equalsIgnoringAsciiCase(peek().text, word);
}

bool WqlTokens::acceptWord(std::string_view word) {
  if (!isWord(word)) return false;
  take();
  return true;
}

void WqlTokens::expectWord(std::string_view word, const std::string& reason) {
  if (!acceptWord(word)) fail(peek(), reason + ", found " + describe(peek()));
}

bool WqlTokens::isSymbol(std::string_view symbol) const {
  return peek().kind == WqlToken::Kind::Symbol && peek().text == symbol;
}

bool WqlTokens::acceptSymbol(std::string_view symbol) {
  if (!isSymbol(symbol)) return false;
  take();
  return true;
}

void WqlTokens::fail(const WqlToken& token, const std::string& reason) const {
  throw QueryError(token.position, reason);
}

std::string WqlTokens::describe(const WqlToken& token) {
  switch (token.kind) {
    case WqlToken::Kind::End:
      return "the end of the query";
    case WqlToken::Kind::String:
      return "a string";
    case WqlToken::Kind::ObjectPath:
      return "an object path";
    default:
      return "'" + token.text + "'";
  }
}

}  // namespace wmihost
