// The date forms WQL takes besides the CIM form: each form of the list with
// its examples, the order of month, day and year among three numbers, and
// the texts that are no date.

#include <gtest/gtest.h>

#include <string>

#include "host/query/WqlDate.h"

namespace wmihost {
namespace {

// The date as yyyy-mm-dd, or "none".
std::string dateOf(std::string_view text) {
  const auto date = parseWqlDate(text);
  if (!date) return "none";
  char formatted[16];
  std::snprintf(formatted, sizeof formatted, "%04d-%02d-%02d", date->year, date->month, date->day);
  return formatted;
}

TEST(WqlDate, EachFormWithAMonthNameReadsItsExamples) {
  const std::pair<const char*, const char*> cases[] = {
      {"January 21, 1932", "1932-01-21"}, {"January 21, 32", "1932-01-21"}, {"Jan 21 1932", "1932-01-21"},
      {"jan 21 32", "1932-01-21"},        {"January 1932", "1932-01-01"},   {"Jan, 1932", "1932-01-01"},
      {"January 1932 21", "1932-01-21"},  {"Jan 32 21", "1932-01-21"},      {"21 January, 1932", "1932-01-21"},
      {"21 Jan32", "1932-01-21"},         {"21 1932 January", "1932-01-21"}, {"1932 January 21", "1932-01-21"},
      {"32 JAN 21", "1932-01-21"},        {"1932 January", "1932-01-01"},   {"1932 21 January", "1932-01-21"},
      {"  sep 9 , 2025 ", "2025-09-09"},  {"December 31 29", "2029-12-31"}, {"Feb 29, 2024", "2024-02-29"},
  };
  for (const auto& [text, date] : cases) EXPECT_EQ(dateOf(text), date) << text;
}

TEST(WqlDate, ThreeNumbersAreReadMonthFirstUnlessTheYearOrAnOverlargeMonthSaysOtherwise) {
  const std::pair<const char*, const char*> cases[] = {
      {"1/21/1932", "1932-01-21"},  {"21/1/1932", "1932-01-21"},   {"1-1932-21", "1932-01-21"},
      {"21.1932.1", "1932-01-21"},  {"1932-01-21", "1932-01-21"},  {"1932/21/1", "1932-01-21"},
      {"1/2/2025", "2025-01-02"},   {"01.02.25", "2025-01-02"},    {"2025-1-2", "2025-01-02"},
      {"19320121", "1932-01-21"},   {"320121", "1932-01-21"},      {"1932", "1932-01-01"},
      {"2025-13-01", "2025-01-13"},
  };
  for (const auto& [text, date] : cases) EXPECT_EQ(dateOf(text), date) << text;
}

TEST(WqlDate, TextsInNoFormOrDaysTheCalendarLacksAreNoDate) {
  for (const char* text : {"", " ", "Jan", "21", "1/2", "1/2-2025", "1/2/3/4", "2025-13-13", "13/13/2025",
                           "Feb 29, 2025", "2025-02-30", "0000-01-01", "Janu 5 2025", "Jan 5 2025 extra",
                           "Jan 5 202", "5 Jan 2025 Feb", "1/123/2025", "123456789", "2025-01-01T10:00",
                           "Jan 5, 2025,", "20250105083000.000000+000"}) {
    EXPECT_EQ(dateOf(text), "none") << text;
  }
}

}  // namespace
}  // namespace wmihost
