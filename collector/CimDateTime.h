#pragma once
// CIM date-time text: yyyymmddHHMMSS.mmmmmm followed by the offset from UTC
// in minutes, sign and three digits (20261208183341.000000+060).

#include <cstdint>
#include <string>

namespace collector {

// The moment given in seconds since the epoch (UTC), written in the local
// time that lies offsetMinutes ahead of UTC.
std::string cimDateTime(std::int64_t epochSeconds, int offsetMinutes);

}  // namespace collector
