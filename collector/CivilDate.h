#pragma once
// Dates of the proleptic Gregorian calendar as days since 1970-01-01, and back;
// moments as seconds since 1970-01-01 00:00, as date and time of day.

#include <cstdint>

namespace collector {

constexpr std::int64_t kSecondsPerDay = 86400;

struct CivilDate {
  int year;
  unsigned month;  // 1 to 12
  unsigned day;    // 1 to 31
};

// Whether the day exists in that month of that year (leap years included).
bool isValidDate(const CivilDate& date);

std::int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(std::int64_t days);

struct CivilTime {
  CivilDate date;
  int hour;    // 0 to 23
  int minute;  // 0 to 59
  int second;  // 0 to 59
};

// The date and time of day of a moment; one before 1970 too.
CivilTime civilFromSeconds(std::int64_t seconds);

}  // namespace collector
