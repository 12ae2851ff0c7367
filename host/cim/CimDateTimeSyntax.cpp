#include "host/cim/CimDateTimeSyntax.h"

#include <cctype>

namespace wmihost {

namespace {

constexpr std::size_t kLength = 25;

bool allDigits(std::string_view text) {
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The two-digit field at position, known to be digits.
int field(std::string_view text, std::size_t position) {
  return (text[position] - '0') * 10 + (text[position + 1] - '0');
}

bool isTimeOfDay(std::string_view text, std::size_t hourAt) {
  return field(text, hourAt) <= 23 && field(text, hourAt + 2) <= 59 && field(text, hourAt + 4) <= 59;
}

bool isPointInTime(std::string_view text) {
  const int month = field(text, 4);
  const int day = field(text, 6);
  return (text[21] == '+' || text[21] == '-') && allDigits(text.substr(22)) && month >= 1 && month <= 12 && day >= 1 &&
         day <= 31 && isTimeOfDay(text, 8);
}

bool isInterval(std::string_view text) { return text.substr(21) == ":000" && isTimeOfDay(text, 8); }

}  // namespace

bool isCimDateTime(std::string_view text) {
  if (text.size() != kLength || !allDigits(text.substr(0, 14)) || text[14] != '.' || !allDigits(text.substr(15, 6))) {
    return false;
  }
  return isPointInTime(text) || isInterval(text);
}

}  // namespace wmihost
