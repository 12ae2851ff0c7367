#pragma once
// Installing, removing and starting the service from the console.

#include <string>

namespace rulo {

// The event message file beside the program: its path with the extension
// upper-cased and ".EXE" turned into ".DLL".
std::string EventMessageFile(const std::string& programPath);

// Registers the event source and creates the service; outcomes go to the
// event log and to standard output. A service that exists already is left as
// it is. False when the service could not be installed.
bool InstallService();

// Waits up to 10 minutes for the service to be stopped by other means, then
// deletes it; outcomes go to the event log and to standard output. False when
// the service could not be removed.
bool RemoveService();

// Starts the service and waits while it is start pending. 0 when it runs,
// 2 when it could not be started, 4 when it cannot be opened.
int StartServiceFromConsole();

}  // namespace rulo
