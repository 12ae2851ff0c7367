#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace qrv::cim {

// One statement of a result text, as StatementScanner cuts it.
struct Statement {
  std::string_view text;
  // The value between its quotes when a quoted value ran on past a ";", a
  // line feed or "instance of"; those are then part of the value.
  std::optional<std::string_view> quotedValue;
  // Cut by "instance of": the next statement belongs to the next instance.
  bool endsInstance = false;
  // Where the first "=" of the text is; npos when it has none.
  std::size_t equals = std::string_view::npos;
  // Whether the text (up to the first separator, for a quoted value that
  // ran on) holds a "<" or a "Q", with which every marker that the parser
  // reads apart from statements ("<?xml", the embedded-object markers)
  // starts: a statement without either needs no marker search.
  bool mayHoldMarker = false;
};

// The part of a statement's text where "<?xml" and the embedded-object
// markers count: up to the quote that opens its value (the first
// non-blank after its first "="), all of it when the value is not quoted.
// From that quote on they are the value's text, so that data written into
// a quoted value cannot start or end an object or hide a statement.
std::string_view outsideQuotedValue(std::string_view text, std::size_t equals);

// Cuts a result text into statements at ";" and line feeds and, when asked,
// at "instance of": n separators give n + 1 statements, empty ones included;
// an empty text gives none.
//
// A statement "name = "value..." whose quoted value is cut before its closing
// quote runs on to the first double quote that is followed, after blanks,
// tabs or carriage returns, by ";", a line feed or the end of the text;
// what lies between is the value. Without such a quote, or when the value
// ends with its quote before the separator, the statement is cut as it
// stands. A statement whose text holds an XML declaration or an
// embedded-object marker before its value's opening quote is never read
// as a quoted value.
//
// One pass over the text: separators and closing quotes are each searched
// only forward from where the last search ended, and the search for a
// statement's separator notes its "=" and marker characters on the way.
class StatementScanner {
 public:
  enum class Cut { Statements, StatementsAndInstances };

  StatementScanner(std::string_view text, Cut cut);

  bool hasMore() const { return position_ != std::string_view::npos; }
  // The next statement; an empty one once hasMore() is false.
  Statement next();

 private:
  std::size_t closingQuote(std::size_t from);
  std::size_t findClosingQuote(std::size_t from) const;

  std::string_view text_;
  bool splitInstances_;
  std::size_t position_;   // start of the next statement; npos once the last has been taken
  std::size_t closing_ = 0;  // the first closing quote found by the last search, or npos
};

}  // namespace qrv::cim
