#include "provider/request/StatementScanner.h"

namespace qrv::cim {

namespace {

constexpr std::string_view kInstanceOf = "instance of";
constexpr std::string_view kLineBlanks = " \t\r";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Statements that the parser reads as something other than "name = value".
bool isSpecial(std::string_view statement) {
  if (!mayHoldMarker(statement)) return false;
  for (const std::string_view marker : {"<?xml", "QRVCIMEMBEDDEDOBJBEGIN", "QRVCIMEMBEDDEDOBJEND"}) {
    if (statement.find(marker) != std::string_view::npos) return true;
  }
  return false;
}

// The position of the quote that opens the value of `statement` when the
// statement ends before that value's closing quote; npos otherwise.
std::size_t openingQuoteOfCutValue(std::string_view statement) {
  const std::size_t equals = statement.find('=');
  if (equals == std::string_view::npos) return std::string_view::npos;
  std::size_t open = equals + 1;
  while (open < statement.size() && isBlank(statement[open])) ++open;
  if (open == statement.size() || statement[open] != '"' || isSpecial(statement)) return std::string_view::npos;
  std::size_t last = statement.size() - 1;
  while (isLineBlank(statement[last])) --last;  // stops at the opening quote at the latest
  return last > open && statement[last] == '"' ? std::string_view::npos : open;
}

}  // namespace

StatementScanner::StatementScanner(std::string_view text, Cut cut)
    : text_(text), splitInstances_(cut == Cut::StatementsAndInstances), position_(text.empty() ? std::string_view::npos : 0) {}

Statement StatementScanner::next() {
  if (!hasMore()) return {};
  const std::size_t start = position_;
  const Separator separator = findSeparator();
  const std::string_view cut = text_.substr(start, separator.position - start);
  if (const std::size_t open = openingQuoteOfCutValue(cut); open != std::string_view::npos) {
    const std::size_t close = closingQuote(start + open + 1);
    if (close != std::string_view::npos) {
      const std::size_t end = text_.find_first_not_of(kLineBlanks, close + 1);
      position_ = end == std::string_view::npos ? end : end + 1;
      return {text_.substr(start, end - start), text_.substr(start + open + 1, close - start - open - 1), false};
    }
  }
  if (separator.position == std::string_view::npos) {
    position_ = std::string_view::npos;
  } else {
    position_ = separator.position + (separator.instance ? kInstanceOf.size() : 1);
  }
  return {cut, std::nullopt, separator.instance};
}

StatementScanner::Separator StatementScanner::findSeparator() const {
  const char* const text = text_.data();
  const std::size_t size = text_.size();
  // ";", line feed and, when instances are split, "i": where a separator may start.
  const char instanceStart = splitInstances_ ? 'i' : ';';
  for (std::size_t i = position_; i < size; ++i) {
    const char c = text[i];
    if (c != ';' && c != '\n' && c != instanceStart) continue;
    if (c != 'i') return {i, false};
    if (text_.compare(i, kInstanceOf.size(), kInstanceOf) == 0) return {i, true};
  }
  return {std::string_view::npos, false};
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
