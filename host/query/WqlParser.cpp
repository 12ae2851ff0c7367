#include "host/query/WqlParser.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/query/AssociationQueryParser.h"
#include "host/query/QueryError.h"
#include "host/query/WqlTokens.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

constexpr std::array<std::string_view, 11> kKeywords{"SELECT", "FROM", "WHERE", "AND",  "OR",   "NOT",
                                                     "LIKE",   "IS",   "NULL",  "TRUE", "FALSE"};

bool isKeyword(std::string_view word) {
  for (const std::string_view keyword : kKeywords) {
    if (equalsIgnoringAsciiCase(word, keyword)) return true;
  }
  return false;
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
  explicit Parser(WqlTokens& tokens) : tokens_(tokens) {}

  WqlQuery query() {
    WqlQuery query;
    expectWord("SELECT", "a query starts with SELECT, ASSOCIATORS OF or REFERENCES OF");
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
    if (peek().kind != WqlToken::Kind::End) fail(peek(), "unexpected " + WqlTokens::describe(peek()));
    return query;
  }

 private:
  const WqlToken& peek() const { return tokens_.peek(); }
  const WqlToken& take() { return tokens_.take(); }
  [[noreturn]] void fail(const WqlToken& token, const std::string& reason) const { tokens_.fail(token, reason); }
  bool isWord(std::string_view keyword) const { return tokens_.isWord(keyword); }
  bool acceptWord(std::string_view keyword) { return tokens_.acceptWord(keyword); }
  void expectWord(std::string_view keyword, const std::string& reason) { tokens_.expectWord(keyword, reason); }
  bool acceptSymbol(std::string_view symbol) { return tokens_.acceptSymbol(symbol); }

  WqlName name(const std::string& what) {
    const WqlToken& token = peek();
    if (token.kind != WqlToken::Kind::Word || isKeyword(token.text)) {
      fail(token, "expected " + what + ", found " + WqlTokens::describe(token));
    }
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
    if (tokens_.isSymbol("(")) {
      enter(depth);
      take();
      WqlCondition inner = disjunction(depth + 1);
      if (!acceptSymbol(")")) fail(peek(), "expected ')', found " + WqlTokens::describe(peek()));
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
      if (!isWord("LIKE")) fail(peek(), "expected LIKE after NOT, found " + WqlTokens::describe(peek()));
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
    if (peek().kind != WqlToken::Kind::String) {
      fail(peek(), "LIKE needs a string pattern, found " + WqlTokens::describe(peek()));
    }
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
    fail(peek(), "expected " + what + ", found " + WqlTokens::describe(peek()));
  }

  bool startsValue() const {
    const WqlToken& token = peek();
    return token.kind == WqlToken::Kind::String || token.kind == WqlToken::Kind::Number ||
           (token.kind == WqlToken::Kind::Symbol && (token.text == "-" || token.text == "+")) || isWord("TRUE") ||
           isWord("FALSE") || isWord("NULL");
  }

  WqlLiteral literal() {
    WqlLiteral value;
    value.position = peek().position;
    if (peek().kind == WqlToken::Kind::String) {
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
    if (peek().kind != WqlToken::Kind::Number) fail(peek(), "expected a value, found " + WqlTokens::describe(peek()));
    const WqlToken& token = take();
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

  WqlTokens& tokens_;
};

}  // namespace

WqlQuery parseWql(std::string_view text) {
  WqlTokens tokens(text);
  return Parser(tokens).query();
}

WqlStatement parseWqlStatement(std::string_view text) {
  WqlTokens tokens(text);
  if (tokens.isWord("ASSOCIATORS") || tokens.isWord("REFERENCES")) return parseAssociationQuery(tokens);
  return Parser(tokens).query();
}

}  // namespace wmihost
