#include "host/query/WqlDate.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

constexpr std::array<std::string_view, 12> kMonths{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// A longer run of digits is no part of a date, and would overflow.
constexpr std::size_t kMaxDigits = 8;

struct Part {
  enum class Kind { Number, Month, Comma, Separator } kind = Kind::Number;
  int value = 0;
  std::size_t digits = 0;
  char separator = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::optional<int> monthNamed(std::string_view word) {
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (equalsIgnoringAsciiCase(word, kMonths[i]) || equalsIgnoringAsciiCase(word, kMonths[i].substr(0, 3))) {
      return static_cast<int>(i + 1);
    }
  }
  return std::nullopt;
}

// The text as numbers, month names, commas and separators; none for any
// other character or word. Blanks only part them.
std::optional<std::vector<Part>> partsOf(std::string_view text) {
  std::vector<Part> parts;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    const char c = text[at];
    if (isDigit(c)) {
      while (at < text.size() && isDigit(text[at])) ++at;
      if (at - start > kMaxDigits) return std::nullopt;
      parts.push_back({Part::Kind::Number, std::stoi(std::string(text.substr(start, at - start))), at - start, 0});
    } else if (isLetter(c)) {
      while (at < text.size() && isLetter(text[at])) ++at;
      const auto month = monthNamed(text.substr(start, at - start));
      if (!month) return std::nullopt;
      parts.push_back({Part::Kind::Month, *month, 0, 0});
    } else if (c == ',') {
      parts.push_back({Part::Kind::Comma, 0, 0, 0});
      ++at;
    } else if (c == '/' || c == '-' || c == '.') {
      parts.push_back({Part::Kind::Separator, 0, 0, c});
      ++at;
    } else if (c == ' ' || c == '\t') {
      ++at;
    } else {
      return std::nullopt;
    }
  }
  return parts;
}

int fullYear(const Part& year) {
  if (year.digits == 4) return year.value;
  return year.value < 30 ? 2000 + year.value : 1900 + year.value;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::optional<CalendarDate> validDate(int year, int month, int day) {
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
  return CalendarDate{year, month, day};
}

// The forms with a month name, as sequences of M (the month), D (a day of
// one or two digits), Y (a year of two or four digits), 4 (a year of four
// digits) and an optional comma (,). Tried in order; the first that gives a
// valid date wins, so "Jan 32 21" is the 21st of January 1932.
constexpr std::array<std::string_view, 8> kNamedForms{"MD,Y", "M,4", "MYD", "DM,Y", "DYM", "YMD", "4M", "4DM"};

bool fits(char element, const Part& part) {
  if (element == 'M') return part.kind == Part::Kind::Month;
  if (part.kind != Part::Kind::Number) return false;
  if (element == 'D') return part.digits <= 2;
  return part.digits == 4 || (element == 'Y' && part.digits == 2);
}

std::optional<CalendarDate> namedForm(std::string_view form, const std::vector<Part>& parts) {
  int year = 0;
  int month = 0;
  int day = 1;
  std::size_t at = 0;
  for (const char element : form) {
    const Part* part = at < parts.size() ? &parts[at] : nullptr;
    if (element == ',') {
      if (part && part->kind == Part::Kind::Comma) ++at;
      continue;
    }
    if (!part || !fits(element, *part)) return std::nullopt;
    if (element == 'M') {
      month = part->value;
    } else if (element == 'D') {
      day = part->value;
    } else {
      year = fullYear(*part);
    }
    ++at;
  }
  return at == parts.size() ? validDate(year, month, day) : std::nullopt;
}

// Three numbers parted twice by the same separator.
std::optional<CalendarDate> numericForm(const std::vector<Part>& parts) {
  if (parts.size() != 5 || parts[1].kind != Part::Kind::Separator || parts[3].separator != parts[1].separator) {
    return std::nullopt;
  }
  const std::array<const Part*, 3> numbers{&parts[0], &parts[2], &parts[4]};
  std::size_t yearAt = 2;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (numbers[i]->kind != Part::Kind::Number) return std::nullopt;
    if (numbers[i]->digits == 4) yearAt = i;
  }
  std::vector<const Part*> monthAndDay;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i != yearAt) monthAndDay.push_back(numbers[i]);
  }
  const Part& year = *numbers[yearAt];
  if (year.digits != 2 && year.digits != 4) return std::nullopt;
  if (monthAndDay[0]->digits > 2 || monthAndDay[1]->digits > 2) return std::nullopt;
  const bool dayFirst = monthAndDay[0]->value > 12;
  return validDate(fullYear(year), monthAndDay[dayFirst ? 1 : 0]->value, monthAndDay[dayFirst ? 0 : 1]->value);
}

// yyyy, yyMMdd or yyyyMMdd.
std::optional<CalendarDate> digitsForm(const Part& number) {
  const int value = number.value;
  switch (number.digits) {
    case 4:
      return validDate(value, 1, 1);
    case 6:
      return validDate(fullYear({Part::Kind::Number, value / 10000, 2, 0}), value / 100 % 100, value % 100);
    case 8:
      return validDate(value / 10000, value / 100 % 100, value % 100);
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<CalendarDate> parseWqlDate(std::string_view text) {
  const auto parts = partsOf(text);
  if (!parts || parts->empty()) return std::nullopt;
  if (parts->size() == 1 && parts->front().kind == Part::Kind::Number) return digitsForm(parts->front());
  for (const std::string_view form : kNamedForms) {
    if (const auto date = namedForm(form, *parts)) return date;
  }
  return numericForm(*parts);
}

}  // namespace wmihost
