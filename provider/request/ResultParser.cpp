#include <string>
#include <string_view>
#include <utility>

#include "provider/request/RequestBase.h"
#include "provider/request/StatementScanner.h"

namespace qrv::cim {

namespace {

constexpr std::string_view kEmbeddedBegin = "QRVCIMEMBEDDEDOBJBEGIN";
constexpr std::string_view kEmbeddedEnd = "QRVCIMEMBEDDEDOBJEND";
constexpr std::string_view kEmbeddedWord = "EMBEDDEDOBJECT";

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string replaced;
  std::size_t start = 0;
  for (std::size_t found = text.find(from); found != std::string_view::npos; found = text.find(from, start)) {
    replaced.append(text.substr(start, found - start));
    replaced.append(to);
    start = found + from.size();
  }
  replaced.append(text.substr(start));
  return replaced;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text without blanks and tabs at either end (trim() with that set, for
// the two short pieces of every statement).
std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Removes one pair of enclosing double quotes; a lone quote becomes empty.
std::string_view unquote(std::string_view value) {
  if (value.empty() || value.front() != '"' || value.back() != '"') return value;
  return value.size() == 1 ? std::string_view() : value.substr(1, value.size() - 2);
}

// Collects the text of an embedded object, which spans several tokens
// between its begin and end markers.
class EmbeddedObject {
 public:
  bool open() const { return open_; }

  // "name = QRVCIMEMBEDDEDOBJBEGIN"text": starts a new object, abandoning an
  // unfinished one. Ignored when no "=" precedes the marker. An end marker
  // in the same token completes the object at once, so that a one-line
  // object does not swallow the statements after it.
  void begin(std::string_view token, std::size_t marker, ParsedInstance& instance) {
    const std::string_view head = token.substr(0, marker);
    const std::size_t equals = head.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view rest = token.substr(marker + kEmbeddedBegin.size());
    const std::size_t endMarker = rest.find(kEmbeddedEnd);
    name_ = trimBlanks(head.substr(0, equals));
    text_ = trimBlanks(rest.substr(0, endMarker));
    if (!text_.empty() && text_.front() == '"') text_.erase(0, 1);
    open_ = true;
    if (endMarker != std::string_view::npos) finish(instance);
  }

  void append(std::string_view token) { text_.append(token); }

  // "text QRVCIMEMBEDDEDOBJEND": completes the object; what follows the
  // marker is ignored.
  void end(std::string_view token, std::size_t marker, ParsedInstance& instance) {
    text_ += trimBlanks(token.substr(0, marker));
    finish(instance);
  }

 private:
  void finish(ParsedInstance& instance) {
    instance.emplace(std::move(name_), replaceAll(text_, kEmbeddedWord, "instance"));
    open_ = false;
  }

  bool open_ = false;
  std::string name_;
  std::string text_;
};

void parseStatement(std::string_view token, std::size_t equals, ParsedInstance& instance) {
  instance.emplace(trimBlanks(token.substr(0, equals)), unquote(trimBlanks(token.substr(equals + 1))));
}

void readStatement(const Statement& statement, EmbeddedObject& embedded, ParsedInstance& instance) {
  const std::string_view token = statement.text;
  const std::size_t equals = token.find('=');
  // Outside an embedded object only a token with "=" can mean anything:
  // a statement, or the begin marker, which needs a name before it.
  if (!embedded.open() && equals == std::string_view::npos) return;
  if (statement.quotedValue) {
    if (embedded.open()) {
      embedded.append(token);
    } else {
      instance.emplace(trimBlanks(token.substr(0, equals)), *statement.quotedValue);
    }
  } else if (!embedded.open() && !mayHoldMarker(token)) {
    parseStatement(token, equals, instance);
  } else if (const std::size_t begin = token.find(kEmbeddedBegin); begin != std::string_view::npos) {
    embedded.begin(token, begin, instance);
  } else if (embedded.open()) {
    const std::size_t end = token.find(kEmbeddedEnd);
    if (end != std::string_view::npos) {
      embedded.end(token, end, instance);
    } else {
      embedded.append(token);
    }
  } else if (!contains(token, "<?xml")) {
    parseStatement(token, equals, instance);
  }
}

// Reads statements into `instance` up to the end of the text or, when the
// scanner splits instances, up to the next "instance of".
void readInstance(StatementScanner& statements, ParsedInstance& instance) {
  EmbeddedObject embedded;
  while (statements.hasMore()) {
    const Statement statement = statements.next();
    readStatement(statement, embedded, instance);
    if (statement.endsInstance) return;
  }
}

}  // namespace

RequestStatus RequestBase::parseInstance(std::string_view piece, ParsedInstance& instance) {
  StatementScanner statements(piece, StatementScanner::Cut::Statements);
  readInstance(statements, instance);
  return Ok;
}

RequestStatus RequestBase::parseInstances(std::string_view resultText, std::vector<ParsedInstance>& instances) {
  StatementScanner statements(resultText, StatementScanner::Cut::StatementsAndInstances);
  while (statements.hasMore()) {
    ParsedInstance instance;
    readInstance(statements, instance);
    if (!instance.empty()) instances.push_back(std::move(instance));
  }
  return Ok;
}

}  // namespace qrv::cim
