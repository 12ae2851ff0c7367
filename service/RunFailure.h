#pragma once
// A failure of the collection run that carries the text of its error event.
// Raised anywhere between reading the configuration and publishing, and
// handled once at the end of the run.

#include <stdexcept>
#include <string>
#include <utility>

#include "service/platform/Platform.h"

namespace rulo {

class RunFailure : public std::runtime_error {
 public:
  // Keeps the platform's last error of the moment of failure: unwinding to
  // the handler may overwrite it (on Windows a C++ throw resets it), and the
  // error event must show the code that caused the failure.
  explicit RunFailure(const std::string& text) : RunFailure(text, currentPlatform().lastError()) {}
  // For a failure whose error was taken before its text was made; detail
  // says more than the event does.
  RunFailure(const std::string& text, DWORD lastError, std::string detail = std::string())
      : std::runtime_error(text), lastError_(lastError), detail_(std::move(detail)) {}

  DWORD lastError() const { return lastError_; }
  // Where to look and what to do, for whoever runs the service by hand: it
  // goes to the debug trace and the console, not into the event, which keeps
  // its fixed text. Empty when the event says it all.
  const std::string& detail() const { return detail_; }

 private:
  DWORD lastError_;
  std::string detail_;
};

}  // namespace rulo
