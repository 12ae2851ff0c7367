#pragma once
// The service's reports to the Application event log under its own source.

#include <string>
#include <vector>

#include "service/platform/Platform.h"

namespace rulo {

// The platform's event log types.
enum EventType : WORD { EventSuccess = 0, EventError = 1, EventWarning = 2, EventInformation = 4 };

// Message-file identifiers: informational, warning and error, facility 2.
constexpr DWORD kEventIdInformational = 0x40020101;
constexpr DWORD kEventIdWarning = 0x80020102;
constexpr DWORD kEventIdError = 0xC0020103;
constexpr WORD kEventCategory = 1;

// "rulosrv error (code): system text" for the platform's last error of this
// moment: the first insertion string of an error event.
std::string LastErrorText();

// Writes one event with two insertion strings: the error text (the platform's
// last error code and its system text, for errors and unknown types only) and
// text. A failure to write is not reported. The result is the error text.
std::string ReportServiceEvent(const std::string& text, WORD type, const std::vector<char>& rawData = {});

// More about the event just reported, for whoever runs the service by hand:
// a line in the debug trace and, in the console run, on standard output
// below the event. The event log does not get it.
void ReportEventDetail(const std::string& text);

// While one lives, every event is also written to standard output: its type,
// its text, the error text of an error, and the raw data (such as the
// collector's log). The console run holds one.
class ConsoleEventEcho {
 public:
  ConsoleEventEcho();
  ~ConsoleEventEcho();
  ConsoleEventEcho(const ConsoleEventEcho&) = delete;
  ConsoleEventEcho& operator=(const ConsoleEventEcho&) = delete;
};

// Registers sourceName as an Application event source whose messages and
// categories come from messageFile; true when the key and all four values
// were written.
bool AddEventSource(const std::string& sourceName, const std::string& messageFile, DWORD categoryCount);

}  // namespace rulo
