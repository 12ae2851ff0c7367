#include "host/cim/CimText.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <string>

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Skips a run of digits at position; tells how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& position) {
  const std::size_t start = position;
  while (position < text.size() && isDigit(text[position])) ++position;
  return position - start;
}

bool skipSign(std::string_view text, std::size_t& position) {
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    ++position;
    return true;
  }
  return false;
}

bool isDecimalReal(std::string_view text) {
  std::size_t position = 0;
  skipSign(text, position);
  std::size_t digits = skipDigits(text, position);
  if (position < text.size() && text[position] == '.') {
    ++position;
    digits += skipDigits(text, position);
  }
  if (digits == 0) return false;
  if (position < text.size() && (text[position] == 'e' || text[position] == 'E')) {
    ++position;
    skipSign(text, position);
    if (skipDigits(text, position) == 0) return false;
  }
  return position == text.size();
}

}  // namespace

std::optional<WholeNumber> parseWholeNumber(std::string_view text) {
  text = trimBlanks(text);
  WholeNumber number;
  std::size_t position = 0;
  if (skipSign(text, position)) number.negative = text[0] == '-';
  const std::string_view digits = text.substr(position);
  if (digits.empty()) return std::nullopt;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number.magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

std::optional<double> parseReal(std::string_view text) {
  text = trimBlanks(text);
  if (!isDecimalReal(text)) return std::nullopt;
  if (text[0] == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> parseBoolean(std::string_view text) {
  const std::string_view word = trimBlanks(text);
  if (equalsIgnoringAsciiCase(word, "true")) return true;
  if (equalsIgnoringAsciiCase(word, "false")) return false;
  const auto number = parseWholeNumber(word);
  if (!number) return std::nullopt;
  return number->magnitude != 0;
}

}  // namespace wmihost
