#pragma once
// The lines written to the debugger's output channel while it lives, as the
// host's listener receives them.

#include <string>
#include <vector>

#include "common/com/WmiSdk.h"

namespace qrv::test {

class DiagnosticLines {
 public:
  DiagnosticLines() { SetDebugOutputListener(&DiagnosticLines::receive, this); }
  ~DiagnosticLines() { SetDebugOutputListener(nullptr, nullptr); }
  DiagnosticLines(const DiagnosticLines&) = delete;
  DiagnosticLines& operator=(const DiagnosticLines&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }
  // Every line joined, for a look for one part of one.
  std::string all() const {
    std::string text;
    for (const std::string& line : lines_) text += line;
    return text;
  }

 private:
  static void receive(const char* text, void* context) { static_cast<DiagnosticLines*>(context)->lines_.push_back(text); }

  std::vector<std::string> lines_;
};

}  // namespace qrv::test
