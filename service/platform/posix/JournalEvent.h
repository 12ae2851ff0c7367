#pragma once
// An event-log report as a systemd journal entry: MESSAGE is the caller's
// text (the last insertion string), PRIORITY follows the event type,
// SYSLOG_IDENTIFIER is the event source, and EVENT_ID (hexadecimal),
// EVENT_TYPE, EVENT_CATEGORY, EVENT_ERROR_TEXT (the first insertion string of
// an error event) and EVENT_DATA (the raw data, binary) keep the rest.

#include <string>
#include <vector>

#include "service/platform/Platform.h"

namespace rulo::posix {

// The syslog priority of an event type: error 3, warning 4, success 5,
// information 6.
int journalPriority(WORD type);

// The entry's fields, each "NAME=value".
std::vector<std::string> journalFields(const std::string& source, WORD type, WORD category, DWORD eventId,
                                       const std::vector<std::string>& strings, const std::vector<char>& rawData);

}  // namespace rulo::posix
