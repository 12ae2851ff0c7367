#pragma once
// A failure of the collection run that carries the text of its error event.
// Raised anywhere between reading the configuration and publishing, and
// handled once at the end of the run.

#include <stdexcept>
#include <string>

#include "service/platform/Platform.h"

namespace rulo {

class RunFailure : public std::runtime_error {
 public:
  // Keeps the platform's last error of the moment of failure: unwinding to
  // the handler may overwrite it (on Windows a C++ throw resets it), and the
  // error event must show the code that caused the failure.
  explicit RunFailure(const std::string& text) : RunFailure(text, currentPlatform().lastError()) {}
  // For a failure whose error was taken before its text was made.
  RunFailure(const std::string& text, DWORD lastError) : std::runtime_error(text), lastError_(lastError) {}

  DWORD lastError() const { return lastError_; }

 private:
  DWORD lastError_;
};

}  // namespace rulo
