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

// Cuts a result text into statements at ";" and line feeds and, when asked,
// at "instance of": n separators give n + 1 statements, empty ones included;
// an empty text gives none.
//
// A statement "name = "value..." whose quoted value is cut before its closing
// quote runs on to the first double quote that is followed, after blanks,
// tabs or carriage returns, by ";", a line feed or the end of the text;
// what lies between is the value. Without such a quote, or when the value
// ends with its quote before the separator, the statement is cut as it
// stands. XML declarations and embedded-object markers are never read as
// quoted values.
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
