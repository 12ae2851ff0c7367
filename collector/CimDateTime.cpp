#include "collector/CimDateTime.h"

#include <cstdio>
#include <cstdlib>

#include "collector/CivilDate.h"

namespace collector {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
  return value / divisor - (value % divisor < 0 ? 1 : 0);
}

}  // namespace

std::string cimDateTime(std::int64_t epochSeconds, int offsetMinutes) {
  const std::int64_t local = epochSeconds + std::int64_t{offsetMinutes} * 60;
  const std::int64_t days = floorDivide(local, kSecondsPerDay);
  const std::int64_t secondOfDay = local - days * kSecondsPerDay;
  const CivilDate date = civilFromDays(days);
  char text[40];
  std::snprintf(text, sizeof text, "%04d%02u%02u%02d%02d%02d.000000%c%03d", date.year, date.month, date.day,
                static_cast<int>(secondOfDay / 3600), static_cast<int>(secondOfDay / 60 % 60),
                static_cast<int>(secondOfDay % 60), offsetMinutes < 0 ? '-' : '+', std::abs(offsetMinutes));
  return text;
}

}  // namespace collector
