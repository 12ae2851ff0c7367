#include "provider/request/result/StatementScanner.h"

#include <array>

namespace qrv::cim {

namespace {

constexpr std::string_view kInstanceOf = "instance of";
constexpr std::string_view kLineBlanks = " \t\r";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// What the search for a separator notes of each byte.
enum ByteKind : unsigned char {
  kSeparator = 1,      // ";" or line feed
  kInstanceStart = 2,  // "i", which may start "instance of"
  kEquals = 4,
  kMarkerStart = 8,    // "<" or "Q"
};

constexpr std::array<unsigned char, 256> kByteKinds = [] {
  std::array<unsigned char, 256> kinds{};
  kinds[';'] = kinds['\n'] = kSeparator;
  kinds['i'] = kInstanceStart;
  kinds['='] = kEquals;
  kinds['<'] = kinds['Q'] = kMarkerStart;
  return kinds;
}();

// Whether the text before a statement's value holds a marker that makes
// the parser read the statement as something other than "name = value".
bool holdsMarker(std::string_view text) {
  for (const std::string_view marker : {"<?xml", "QRVCIMEMBEDDEDOBJBEGIN", "QRVCIMEMBEDDEDOBJEND"}) {
    if (text.find(marker) != std::string_view::npos) return true;
  }
  return false;
}

// Where the value after the first "=" at `equals` starts: its first
// character that is not a blank or tab.
std::size_t valueStart(std::string_view text, std::size_t equals) {
  std::size_t start = equals + 1;
  while (start < text.size() && isBlank(text[start])) ++start;
  return start;
}

// The position of the quote that opens the value of `statement` when the
// statement ends before that value's closing quote; npos otherwise.
std::size_t openingQuoteOfCutValue(const Statement& statement) {
  const std::string_view text = statement.text;
  if (statement.equals == std::string_view::npos) return std::string_view::npos;
  const std::size_t open = valueStart(text, statement.equals);
  if (open == text.size() || text[open] != '"') return std::string_view::npos;
  if (statement.mayHoldMarker && holdsMarker(text.substr(0, open))) return std::string_view::npos;
  std::size_t last = text.size() - 1;
  while (isLineBlank(text[last])) --last;  // stops at the opening quote at the latest
  return last > open && text[last] == '"' ? std::string_view::npos : open;
}

// Cuts `statement` from `start` to the next separator of `text` (its end
// when there is none) and returns that separator's position, npos at the
// end of the text.
std::size_t cutAtSeparator(std::string_view text, std::size_t start, bool splitInstances, Statement& statement) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = start;
  for (;; ++i) {
    // Most bytes are of no kind: four at a time past those.
    while (i + 4 <= size &&
           (kByteKinds[bytes[i]] | kByteKinds[bytes[i + 1]] | kByteKinds[bytes[i + 2]] | kByteKinds[bytes[i + 3]]) == 0) {
      i += 4;
    }
    while (i < size && kByteKinds[bytes[i]] == 0) ++i;
    if (i == size) break;
    const unsigned char kind = kByteKinds[bytes[i]];
    if (kind == kSeparator) break;
    if (kind == kInstanceStart) {
      if (splitInstances && text.compare(i, kInstanceOf.size(), kInstanceOf) == 0) {
        statement.endsInstance = true;
        break;
      }
    } else if (kind == kEquals) {
      if (statement.equals == std::string_view::npos) statement.equals = i - start;
    } else {
      statement.mayHoldMarker = true;
    }
  }
  statement.text = text.substr(start, i - start);
  return i < size ? i : std::string_view::npos;
}

}  // namespace

std::string_view outsideQuotedValue(std::string_view text, std::size_t equals) {
  if (equals == std::string_view::npos) return text;
  const std::size_t start = valueStart(text, equals);
  return start < text.size() && text[start] == '"' ? text.substr(0, start) : text;
}

StatementScanner::StatementScanner(std::string_view text, Cut cut)
    : text_(text), splitInstances_(cut == Cut::StatementsAndInstances), position_(text.empty() ? std::string_view::npos : 0) {}

Statement StatementScanner::next() {
  Statement statement;
  if (!hasMore()) return statement;
  const std::size_t start = position_;
  const std::size_t separator = cutAtSeparator(text_, start, splitInstances_, statement);
  if (const std::size_t open = openingQuoteOfCutValue(statement); open != std::string_view::npos) {
    const std::size_t close = closingQuote(start + open + 1);
    if (close != std::string_view::npos) {
      const std::size_t end = text_.find_first_not_of(kLineBlanks, close + 1);
      position_ = end == std::string_view::npos ? end : end + 1;
      statement.text = text_.substr(start, end - start);
      statement.quotedValue = text_.substr(start + open + 1, close - start - open - 1);
      statement.endsInstance = false;
      return statement;
    }
  }
  if (separator == std::string_view::npos) {
    position_ = std::string_view::npos;
  } else {
    position_ = separator + (statement.endsInstance ? kInstanceOf.size() : 1);
  }
  return statement;
}

// Statements start further on each time, so the last closing quote found
// still answers until a statement opens a value after it.
std::size_t StatementScanner::closingQuote(std::size_t from) {
  if (closing_ != std::string_view::npos && closing_ < from) closing_ = findClosingQuote(from);
  return closing_;
}

std::size_t StatementScanner::findClosingQuote(std::size_t from) const {
  for (std::size_t quote = text_.find('"', from); quote != std::string_view::npos;
       quote = text_.find('"', quote + 1)) {
    const std::size_t after = text_.find_first_not_of(kLineBlanks, quote + 1);
    if (after == std::string_view::npos || text_[after] == ';' || text_[after] == '\n') return quote;
  }
  return std::string_view::npos;
}

}  // namespace qrv::cim
