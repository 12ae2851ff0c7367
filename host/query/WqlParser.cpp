#include "host/query/WqlParser.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/query/QueryError.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

enum class TokenKind { Word, String, Number, Symbol, End };

struct Token {
  TokenKind kind = TokenKind::End;
  // The word, the number or the symbol as written; the string's value.
  std::string text;
  std::size_t position = 0;
};

constexpr std::array<std::string_view, 11> kKeywords{"SELECT", "FROM", "WHERE", "AND",  "OR",   "NOT",
                                                     "LIKE",   "IS",   "NULL",  "TRUE", "FALSE"};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Splits the query into tokens in one pass; the last token is End.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> tokens() {
    std::vector<Token> tokens;
    for (;;) {
      while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' ||
                                    text_[at_] == '\n')) {
        ++at_;
      }
      if (at_ == text_.size()) break;
      tokens.push_back(next());
    }
    tokens.push_back({TokenKind::End, "", text_.size() + 1});
    return tokens;
  }

 private:
  Token next() {
    const char c = text_[at_];
    if (isLetter(c)) return run(TokenKind::Word, [](char d) { return isLetter(d) || isDigit(d); });
    if (isDigit(c) || (c == '.' && at_ + 1 < text_.size() && isDigit(text_[at_ + 1]))) return number();
    if (c == '\'' || c == '"') return quoted(c);
    return symbol();
  }

  template <typename Accept>
  Token run(TokenKind kind, Accept accept) {
    const std::size_t start = at_;
    while (at_ < text_.size() && accept(text_[at_])) ++at_;
    return {kind, std::string(text_.substr(start, at_ - start)), start + 1};
  }

  // Digits with an optional fraction and exponent, or 0x and hex digits;
  // the parser reads the value.
  Token number() {
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
    return {TokenKind::Number, std::string(text_.substr(start, at_ - start)), start + 1};
  }

  template <typename Accept>
  void skip(Accept accept) {
    while (at_ < text_.size() && accept(text_[at_])) ++at_;
  }

  Token quoted(char quote) {
    const std::size_t start = at_++;
    std::string value;
    while (at_ < text_.size() && text_[at_] != quote) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
      value += text_[at_++];
    }
    if (at_ == text_.size()) throw QueryError(start + 1, "the string has no closing quote");
    ++at_;
    return {TokenKind::String, std::move(value), start + 1};
  }

  Token symbol() {
    static constexpr std::array<std::string_view, 13> kSymbols{"<>", "!=", "<=", ">=", "=", "<", ">",
                                                               "(",  ")",  ",",  "*",  "-", "+"};
    for (const std::string_view symbol : kSymbols) {
      if (text_.substr(at_, symbol.size()) == symbol) {
        at_ += symbol.size();
        return {TokenKind::Symbol, std::string(symbol), at_ - symbol.size() + 1};
      }
    }
    const unsigned char c = static_cast<unsigned char>(text_[at_]);
    throw QueryError(at_ + 1, c >= 0x20 && c < 0x7F ? "unexpected character '" + std::string(1, text_[at_]) + "'"
                                                    : "unexpected character (byte " + std::to_string(c) + ")");
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

bool isKeyword(std::string_view word) {
  for (const std::string_view keyword : kKeywords) {
    if (equalsIgnoringAsciiCase(word, keyword)) return true;
  }
  return false;
}

std::string describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::End:
      return "the end of the query";
    case TokenKind::String:
      return "a string";
    default:
      return "'" + token.text + "'";
  }
}

// The comparison that a value on the left means with the operands swapped.
WqlOperator mirrored(WqlOperator op) {
  switch (op) {
    case WqlOperator::Less:
      return WqlOperator::Greater;
    case WqlOperator::LessOrEqual:
      return WqlOperator::GreaterOrEqual;
    case WqlOperator::Greater:
      return WqlOperator::Less;
    case WqlOperator::GreaterOrEqual:
      return WqlOperator::LessOrEqual;
    default:
      return op;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : tokens_(Lexer(text).tokens()) {}

  WqlQuery query() {
    WqlQuery query;
    expectWord("SELECT", "a query starts with SELECT");
    if (!acceptSymbol("*")) {
      do {
        query.properties.push_back(name("a property name or *"));
      } while (acceptSymbol(","));
    }
    expectWord("FROM", "expected FROM");
    query.className = name("a class name");
    if (acceptWord("WHERE")) {
      query.hasCondition = true;
      query.condition = disjunction(0);
    }
    if (peek().kind != TokenKind::End) fail(peek(), "unexpected " + describe(peek()));
    return query;
  }

 private:
  const Token& peek() const { return tokens_[at_]; }
  const Token& take() { return tokens_[at_ + 1 < tokens_.size() ? at_++ : at_]; }

  [[noreturn]] void fail(const Token& token, const std::string& reason) const {
    throw QueryError(token.position, reason);
  }

  bool isWord(std::string_view keyword) const {
    return peek().kind == TokenKind::Word && equalsIgnoringAsciiCase(peek().text, keyword);
  }

  bool acceptWord(std::string_view keyword) {
    if (!isWord(keyword)) return false;
    take();
    return true;
  }

  void expectWord(std::string_view keyword, const std::string& reason) {
    if (!acceptWord(keyword)) fail(peek(), reason + ", found " + describe(peek()));
  }

  bool acceptSymbol(std::string_view symbol) {
    if (peek().kind != TokenKind::Symbol || peek().text != symbol) return false;
    take();
    return true;
  }

  WqlName name(const std::string& what) {
    const Token& token = peek();
    if (token.kind != TokenKind::Word || isKeyword(token.text)) fail(token, "expected " + what + ", found " +
                                                                              describe(token));
    take();
    return {token.text, token.position};
  }

  WqlCondition chain(WqlCondition::Kind kind, std::string_view keyword, std::size_t depth) {
    WqlCondition first = kind == WqlCondition::Kind::Or ? chain(WqlCondition::Kind::And, "AND", depth)
                                                        : negation(depth);
    if (!isWord(keyword)) return first;
    WqlCondition all;
    all.kind = kind;
    all.operands.push_back(std::move(first));
    while (acceptWord(keyword)) {
      all.operands.push_back(kind == WqlCondition::Kind::Or ? chain(WqlCondition::Kind::And, "AND", depth)
                                                            : negation(depth));
    }
    return all;
  }

  WqlCondition disjunction(std::size_t depth) { return chain(WqlCondition::Kind::Or, "OR", depth); }

  void enter(std::size_t depth) const {
    if (depth >= kMaxNesting) {
      fail(peek(), "parentheses and NOT nest more than " + std::to_string(kMaxNesting) + " deep");
    }
  }

  WqlCondition negation(std::size_t depth) {
    if (!isWord("NOT")) return term(depth);
    enter(depth);
    take();
    return negated(negation(depth + 1));
  }

  static WqlCondition negated(WqlCondition operand) {
    WqlCondition condition;
    condition.kind = WqlCondition::Kind::Not;
    condition.operands.push_back(std::move(operand));
    return condition;
  }

  WqlCondition term(std::size_t depth) {
    if (peek().kind == TokenKind::Symbol && peek().text == "(") {
      enter(depth);
      take();
      WqlCondition inner = disjunction(depth + 1);
      if (!acceptSymbol(")")) fail(peek(), "expected ')', found " + describe(peek()));
      return inner;
    }
    if (startsValue()) {
      WqlLiteral value = literal();
      const WqlOperator op = comparisonOperator("a comparison operator after the value");
      return comparison(name("a property name"), mirrored(op), std::move(value));
    }
    WqlName property = name("a property name, NOT or '('");
    if (acceptWord("IS")) return nullTest(std::move(property));
    if (acceptWord("NOT")) {
      if (!isWord("LIKE")) fail(peek(), "expected LIKE after NOT, found " + describe(peek()));
      return negated(like(std::move(property)));
    }
    if (isWord("LIKE")) return like(std::move(property));
    const WqlOperator op = comparisonOperator("a comparison operator, IS or LIKE after " + property.text);
    return comparison(std::move(property), op, literal());
  }

  WqlCondition nullTest(WqlName property) {
    WqlCondition condition;
    condition.kind = acceptWord("NOT") ? WqlCondition::Kind::IsNotNull : WqlCondition::Kind::IsNull;
    expectWord("NULL", "expected NULL after IS");
    condition.property = std::move(property);
    return condition;
  }

  WqlCondition like(WqlName property) {
    take();
    if (peek().kind != TokenKind::String) fail(peek(), "LIKE needs a string pattern, found " + describe(peek()));
    return comparison(std::move(property), WqlOperator::Like, literal());
  }

  static WqlCondition comparison(WqlName property, WqlOperator op, WqlLiteral value) {
    WqlCondition condition;
    condition.property = std::move(property);
    if (value.kind == WqlLiteral::Kind::Null) {
      if (op != WqlOperator::Equal && op != WqlOperator::NotEqual) {
        throw QueryError(value.position, "NULL is compared only with =, <> or !=; or write IS [NOT] NULL");
      }
      condition.kind = op == WqlOperator::Equal ? WqlCondition::Kind::IsNull : WqlCondition::Kind::IsNotNull;
      return condition;
    }
    condition.op = op;
    condition.value = std::move(value);
    return condition;
  }

  WqlOperator comparisonOperator(const std::string& what) {
    static const std::array<std::pair<std::string_view, WqlOperator>, 7> kOperators{{
        {"=", WqlOperator::Equal},
        {"<>", WqlOperator::NotEqual},
        {"!=", WqlOperator::NotEqual},
        {"<", WqlOperator::Less},
        {"<=", WqlOperator::LessOrEqual},
        {">", WqlOperator::Greater},
        {">=", WqlOperator::GreaterOrEqual},
    }};
    for (const auto& [symbol, op] : kOperators) {
      if (acceptSymbol(symbol)) return op;
    }
    fail(peek(), "expected " + what + ", found " + describe(peek()));
  }

  bool startsValue() const {
    const Token& token = peek();
    return token.kind == TokenKind::String || token.kind == TokenKind::Number ||
           (token.kind == TokenKind::Symbol && (token.text == "-" || token.text == "+")) || isWord("TRUE") ||
           isWord("FALSE") || isWord("NULL");
  }

  WqlLiteral literal() {
    WqlLiteral value;
    value.position = peek().position;
    if (peek().kind == TokenKind::String) {
      value.kind = WqlLiteral::Kind::String;
      value.text = take().text;
    } else if (isWord("TRUE") || isWord("FALSE")) {
      value.kind = WqlLiteral::Kind::Boolean;
      value.boolean = isWord("TRUE");
      value.text = take().text;
    } else if (acceptWord("NULL")) {
      value.kind = WqlLiteral::Kind::Null;
    } else {
      number(value);
    }
    return value;
  }

  void number(WqlLiteral& value) {
    const bool negative = acceptSymbol("-");
    if (!negative) acceptSymbol("+");
    if (peek().kind != TokenKind::Number) fail(peek(), "expected a value, found " + describe(peek()));
    const Token& token = take();
    value.text = (negative ? "-" : "") + token.text;
    const bool hex = token.text.size() > 1 && (token.text[1] == 'x' || token.text[1] == 'X');
    const bool real = !hex && token.text.find_first_of(".eE") != std::string::npos;
    if (hex && token.text.size() == 2) fail(token, "expected hexadecimal digits after 0x");
    if (real) {
      const auto parsed = parseReal(value.text);
      if (!parsed) fail(token, "the number " + value.text + " is out of range");
      value.kind = WqlLiteral::Kind::Real;
      value.real = *parsed;
      return;
    }
    const std::string_view digits = std::string_view(token.text).substr(hex ? 2 : 0);
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size()) {
      fail(token, "the number " + value.text + " does not fit in 64 bits");
    }
    value.kind = WqlLiteral::Kind::Integer;
    value.integer = {negative && magnitude != 0, magnitude};
    value.real = negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);
  }

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
};

}  // namespace

WqlQuery parseWql(std::string_view text) { return Parser(text).query(); }

}  // namespace wmihost
