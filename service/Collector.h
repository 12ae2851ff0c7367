#pragma once
// The external inventory collector: its arguments, its launch and its log.

#include <string>
#include <vector>

#include "service/platform/Platform.h"

namespace rulo {

// Exit codes of the collector.
enum CollectorResult : DWORD {
  CollectorSucceeded = 0,
  CollectorPartlyFailed = 1,
  CollectorFailed = 2,
  CollectorAlreadyRunning = 3,
};

// The argument string: the output and log paths, behind the Padding text when
// the executable carries the padding marker. An argument string that does not
// fit a path buffer fails the run.
std::string CollectorParameters(const std::string& strInvPath, const std::string& strInvOutput,
                                const std::string& strInvLog);

// Runs the collector with its path quoted in front of the parameters, in
// workingDirectory, and waits at most dwTimeout ms. The result is its exit
// code, 259 while it still runs, or the platform's error code when its exit
// code cannot be read. A collector that cannot be started fails the run with
// the platform's error code and text, and so does a command line that does
// not fit a path buffer.
DWORD LaunchCollector(const std::string& strInvPath, bool bShow, const std::string& strInvParameters,
                      const std::string& workingDirectory, DWORD dwTimeout);

// The bytes of the collector's log; empty when it is empty, cannot be read or
// is too large to hold.
std::vector<char> ReadCollectorLog(const std::string& strInvLog);

}  // namespace rulo
