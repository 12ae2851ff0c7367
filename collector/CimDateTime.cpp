#include "collector/CimDateTime.h"

#include <cstdio>
#include <cstdlib>

#include "collector/CivilDate.h"

namespace collector {

std::string cimDateTime(std::int64_t epochSeconds, int offsetMinutes) {
  const CivilTime local = civilFromSeconds(epochSeconds + std::int64_t{offsetMinutes} * 60);
  char text[40];
  std::snprintf(text, sizeof text, "%04d%02u%02u%02d%02d%02d.000000%c%03d", local.date.year, local.date.month,
                local.date.day, local.hour, local.minute, local.second, offsetMinutes < 0 ? '-' : '+',
                std::abs(offsetMinutes));
  return text;
}

}  // namespace collector
