#include "host/query/AssociationQueryParser.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/text/AsciiCase.h"
#include "host/query/QueryError.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

using Kind = AssociationQuery::Kind;

// A keyword of the WHERE clause: a name it takes after "=", or a flag.
struct Keyword {
  std::string_view word;
  std::optional<WqlName> AssociationQuery::*name;
  bool AssociationQuery::*flag;
  // What its name names, for messages; empty for a flag.
  std::string_view names;
  bool referencesToo;
};

constexpr std::array<Keyword, 9> kKeywords{{
    {"AssocClass", &AssociationQuery::assocClass, nullptr, "a class name", false},
    {"ClassDefsOnly", nullptr, &AssociationQuery::classDefsOnly, "", true},
    {"KeysOnly", nullptr, &AssociationQuery::keysOnly, "", true},
    {"RequiredAssocQualifier", &AssociationQuery::requiredAssocQualifier, nullptr, "a qualifier name", false},
    {"RequiredQualifier", &AssociationQuery::requiredQualifier, nullptr, "a qualifier name", true},
    {"ResultClass", &AssociationQuery::resultClass, nullptr, "a class name", true},
    {"ResultRole", &AssociationQuery::resultRole, nullptr, "a property name", false},
    {"Role", &AssociationQuery::role, nullptr, "a property name", true},
    {"SchemaOnly", nullptr, &AssociationQuery::schemaOnly, "", true},
}};

// Keywords that cannot go together; ClassDefsOnly and ResultClass only in
// ASSOCIATORS OF.
struct Exclusion {
  std::string_view first;
  std::string_view second;
  bool referencesToo;
};

constexpr std::array<Exclusion, 4> kExclusions{{
    {"ClassDefsOnly", "ResultClass", false},
    {"ClassDefsOnly", "KeysOnly", true},
    {"ClassDefsOnly", "SchemaOnly", true},
    {"KeysOnly", "SchemaOnly", true},
}};

std::size_t indexOf(std::string_view word) {
  std::size_t index = 0;
  while (kKeywords[index].word != word) ++index;
  return index;
}

std::string statementName(Kind kind) { return kind == Kind::Associators ? "ASSOCIATORS OF" : "REFERENCES OF"; }

std::string keywordList(Kind kind) {
  std::string list;
  for (const Keyword& keyword : kKeywords) {
    if (kind == Kind::Associators || keyword.referencesToo) {
      list += (list.empty() ? "" : ", ") + std::string(keyword.word);
    }
  }
  return list;
}

class Parser {
 public:
  explicit Parser(WqlTokens& tokens) : tokens_(tokens) {}

  AssociationQuery statement() {
    AssociationQuery query;
    query.kind = tokens_.isWord("REFERENCES") ? Kind::References : Kind::Associators;
    tokens_.take();
    const std::string name = statementName(query.kind);
    tokens_.expectWord("OF", "expected " + name);
    const WqlToken& path = tokens_.peek();
    if (path.kind != WqlToken::Kind::ObjectPath) {
      tokens_.fail(path, "expected an object path in braces after " + name + ", found " + WqlTokens::describe(path));
    }
    query.path = path.text;
    query.pathPosition = path.position;
    tokens_.take();
    if (tokens_.acceptWord("WHERE")) {
      do {
        keyword(query);
      } while (tokens_.peek().kind != WqlToken::Kind::End);
    }
    const WqlToken& rest = tokens_.peek();
    if (rest.kind != WqlToken::Kind::End) {
      tokens_.fail(rest, "expected WHERE or the end of the query, found " + WqlTokens::describe(rest));
    }
    checkExclusions(query.kind);
    return query;
  }

 private:
  void keyword(AssociationQuery& query) {
    const WqlToken& word = tokens_.peek();
    const Keyword* known = nullptr;
    for (const Keyword& keyword : kKeywords) {
      if (word.kind == WqlToken::Kind::Word && equalsIgnoringAsciiCase(word.text, keyword.word)) known = &keyword;
    }
    if (known) positions_[static_cast<std::size_t>(known - kKeywords.data())] = word.position;
    if (!known || (query.kind == Kind::References && !known->referencesToo)) {
      tokens_.fail(word, "expected a keyword of " + statementName(query.kind) + " (" + keywordList(query.kind) +
                             "), found " + WqlTokens::describe(word));
    }
    const WqlToken given = tokens_.take();
    if (known->flag) {
      if (query.*(known->flag)) repeated(given);
      query.*(known->flag) = true;
      return;
    }
    if (query.*(known->name)) repeated(given);
    if (!tokens_.acceptSymbol("=")) {
      const WqlToken& found = tokens_.peek();
      tokens_.fail(found, "expected '=' after " + given.text + ", found " + WqlTokens::describe(found));
    }
    const WqlToken& value = tokens_.peek();
    if (value.kind != WqlToken::Kind::Word) {
      tokens_.fail(value, "expected " + std::string(known->names) + " after " + given.text + " =, found " +
                              WqlTokens::describe(value));
    }
    query.*(known->name) = WqlName{value.text, value.position};
    tokens_.take();
  }

  [[noreturn]] void repeated(const WqlToken& keyword) const {
    tokens_.fail(keyword, keyword.text + " is given twice");
  }

  // Fails at the later of two keywords that exclude each other.
  void checkExclusions(Kind kind) const {
    for (const Exclusion& exclusion : kExclusions) {
      const std::size_t first = positions_[indexOf(exclusion.first)];
      const std::size_t second = positions_[indexOf(exclusion.second)];
      if (first && second && (kind == Kind::Associators || exclusion.referencesToo)) {
        throw QueryError(std::max(first, second),
                         std::string(exclusion.first) + " and " + std::string(exclusion.second) +
                             " exclude each other");
      }
    }
  }

  WqlTokens& tokens_;
  // Where each keyword of kKeywords was given; 0 where it was not.
  std::array<std::size_t, kKeywords.size()> positions_{};
};

}  // namespace

AssociationQuery parseAssociationQuery(WqlTokens& tokens) { return Parser(tokens).statement(); }

}  // namespace wmihost
