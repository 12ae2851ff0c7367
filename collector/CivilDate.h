#pragma once
// Dates of the proleptic Gregorian calendar as days since 1970-01-01, and back.

#include <cstdint>

namespace collector {

struct CivilDate {
  int year;
  unsigned month;  // 1 to 12
  unsigned day;    // 1 to 31
};

// Whether the day exists in that month of that year (leap years included).
bool isValidDate(const CivilDate& date);

std::int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(std::int64_t days);

}  // namespace collector
