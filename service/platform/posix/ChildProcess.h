#pragma once
// A child process started with posix_spawn: it inherits no descriptors beyond
// its standard ones, starts with every signal unblocked and at its default,
// and can be waited for with a time limit. A child still running when its
// object goes away keeps running.

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/platform/Platform.h"

namespace rulo::posix {

// The exit code of a process that is still running (STILL_ACTIVE).
constexpr DWORD kStillActive = 259;

struct Command {
  std::string program;                 // the file executed
  std::vector<std::string> arguments;  // its argument vector, program name first
  std::string workingDirectory;        // empty: the current one
  bool searchPath = false;             // a program name without '/' is looked up in PATH
  bool show = false;                   // inherit standard input, output and error
  int outputFd = -1;                   // without show: standard output, else /dev/null
  int errorFd = -1;                    // without show: standard error, else /dev/null
};

class ChildProcess {
 public:
  // The started child; nothing, with errno set, when it cannot be started.
  static std::shared_ptr<ChildProcess> start(const Command& command);

  explicit ChildProcess(pid_t pid) : pid_(pid) {}
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Waits until the child ends, at most timeoutMs (0xFFFFFFFF: no limit).
  void wait(DWORD timeoutMs);
  // Its exit code (128 + the signal number when a signal ended it), or
  // kStillActive while it runs.
  DWORD exitCode();

 private:
  // Collects the child's status if it has ended; blocks when block is set.
  void reap(bool block);

  pid_t pid_;
  std::mutex mutex_;
  std::optional<int> status_;
};

}  // namespace rulo::posix
