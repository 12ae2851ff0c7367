#pragma once
// The date forms WQL takes for a datetime comparison besides the CIM form:
//   Month dd[,] [yy]yy       January 21, 1932   Jan 21 32
//   Month[,] yyyy            January 1932       (the first of the month)
//   Month [yy]yy dd          Jan 32 21
//   dd Month[,] [yy]yy       21 January, 1932   21 Jan32
//   dd [yy]yy Month          21 1932 January
//   [yy]yy Month dd          1932 January 21
//   yyyy Month               1932 January       (the first of the month)
//   yyyy dd Month            1932 21 January
//   three numbers with one separator, / - or ., twice: 1/21/1932, 1932-01-21
//   [yy]yyMMdd, yyyy         19320121, 320121, 1932 (January 1)
// Months are spelled out or abbreviated to three letters, in any case;
// blanks between the parts do not matter. Of three numbers, the one of four
// digits is the year, else the last; of the other two the first is the
// month, as in the US locale, unless it is over 12. A two-digit year is one
// of 1930 to 2029, Windows' default window.

#include <optional>
#include <string_view>

namespace wmihost {

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// None for text in none of the forms or a day the calendar does not have.
std::optional<CalendarDate> parseWqlDate(std::string_view text);

}  // namespace wmihost
