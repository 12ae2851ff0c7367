#include <forward_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "provider/request/result/ResultParser.h"

#include "provider/request/result/StatementScanner.h"

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

// The properties of the piece of result text being read, in the order they
// were read: views into the result text and into the values made from it.
class ReadProperties {
 public:
  // Room for the properties of a typical instance from the start.
  ReadProperties() { read_.reserve(16); }

  void add(std::string_view name, std::string_view value) { read_.emplace_back(name, value); }

  void addMade(std::string_view name, std::string value) {
    made_.push_front(std::move(value));
    read_.emplace_back(name, made_.front());
  }

  // Adds the properties read to `instance` and starts on the next piece.
  void moveInto(ParsedInstance& instance) {
    instance.add(read_);
    read_.clear();
    made_.clear();
  }

 private:
  std::vector<ParsedInstance::Property> read_;
  std::forward_list<std::string> made_;  // stable as it grows, for the views into it
};

// Collects the text of an embedded object, which spans several tokens
// between its begin and end markers.
class EmbeddedObject {
 public:
  bool open() const { return open_; }

  // "name = QRVCIMEMBEDDEDOBJBEGIN"text": starts a new object, abandoning an
  // unfinished one. Ignored when no "=" precedes the marker. An end marker
  // in the same token completes the object at once, so that a one-line
  // object does not swallow the statements after it.
  void begin(std::string_view token, std::size_t marker, ReadProperties& properties) {
    const std::string_view head = token.substr(0, marker);
    const std::size_t equals = head.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view rest = token.substr(marker + kEmbeddedBegin.size());
    const std::size_t endMarker = rest.find(kEmbeddedEnd);
    name_ = trimBlanks(head.substr(0, equals));
    text_ = trimBlanks(rest.substr(0, endMarker));
    if (!text_.empty() && text_.front() == '"') text_.erase(0, 1);
    open_ = true;
    if (endMarker != std::string_view::npos) finish(properties);
  }

  void append(std::string_view token) { text_.append(token); }

  // "text QRVCIMEMBEDDEDOBJEND": completes the object; what follows the
  // marker is ignored.
  void end(std::string_view token, std::size_t marker, ReadProperties& properties) {
    text_ += trimBlanks(token.substr(0, marker));
    finish(properties);
  }

 private:
  void finish(ReadProperties& properties) {
    properties.addMade(name_, replaceAll(text_, kEmbeddedWord, "instance"));
    open_ = false;
  }

  bool open_ = false;
  std::string_view name_;  // in the result text
  std::string text_;
};

void readNameAndValue(std::string_view token, std::size_t equals, ReadProperties& properties) {
  properties.add(trimBlanks(token.substr(0, equals)), unquote(trimBlanks(token.substr(equals + 1))));
}

// A statement that may hold "<?xml" or an embedded-object marker; only
// those before its quoted value count.
void readMarkedStatement(std::string_view token, std::size_t equals, EmbeddedObject& embedded,
                         ReadProperties& properties) {
  const std::string_view markers = outsideQuotedValue(token, equals);
  if (const std::size_t begin = markers.find(kEmbeddedBegin); begin != std::string_view::npos) {
    embedded.begin(token, begin, properties);
  } else if (embedded.open()) {
    const std::size_t end = markers.find(kEmbeddedEnd);
    if (end != std::string_view::npos) {
      embedded.end(token, end, properties);
    } else {
      embedded.append(token);
    }
  } else if (!contains(markers, "<?xml")) {
    readNameAndValue(token, equals, properties);
  }
}

void readStatement(const Statement& statement, EmbeddedObject& embedded, ReadProperties& properties) {
  const std::string_view token = statement.text;
  const std::size_t equals = statement.equals;
  // Outside an embedded object only a token with "=" can mean anything:
  // a statement, or the begin marker, which needs a name before it.
  if (!embedded.open() && equals == std::string_view::npos) return;
  if (statement.quotedValue) {
    if (embedded.open()) {
      embedded.append(token);
    } else {
      properties.add(trimBlanks(token.substr(0, equals)), *statement.quotedValue);
    }
  } else if (!embedded.open() && !statement.mayHoldMarker) {
    readNameAndValue(token, equals, properties);
  } else {
    readMarkedStatement(token, equals, embedded, properties);
  }
}

// Reads statements into `instance` up to the end of the text or, when the
// scanner splits instances, up to the next "instance of".
void readInstance(StatementScanner& statements, ReadProperties& properties, ParsedInstance& instance) {
  EmbeddedObject embedded;
  while (statements.hasMore()) {
    const Statement statement = statements.next();
    readStatement(statement, embedded, properties);
    if (statement.endsInstance) break;
  }
  properties.moveInto(instance);
}

// How many instances the text can hold at most: one before the first
// "instance of" and one after each, so that a large result fills its vector
// without moving it again each time it grows.
std::size_t mostInstances(std::string_view resultText) {
  constexpr std::string_view kStart = "instance of";
  std::size_t pieces = 1;
  for (std::size_t at = resultText.find(kStart); at != std::string_view::npos;
       at = resultText.find(kStart, at + kStart.size())) {
    ++pieces;
  }
  return pieces;
}

}  // namespace

RequestStatus parseResultInstance(std::string_view piece, ParsedInstance& instance) {
  StatementScanner statements(piece, StatementScanner::Cut::Statements);
  ReadProperties properties;
  readInstance(statements, properties, instance);
  return Ok;
}

RequestStatus parseResultInstances(std::string_view resultText, std::vector<ParsedInstance>& instances) {
  StatementScanner statements(resultText, StatementScanner::Cut::StatementsAndInstances);
  ReadProperties properties;
  instances.reserve(instances.size() + mostInstances(resultText));
  while (statements.hasMore()) {
    ParsedInstance instance;
    readInstance(statements, properties, instance);
    if (!instance.empty()) instances.push_back(std::move(instance));
  }
  return Ok;
}

}  // namespace qrv::cim
