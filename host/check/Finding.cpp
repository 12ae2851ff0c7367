#include "host/check/Finding.h"

namespace wmihost {

namespace {

const char* wordOf(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    default:
      return "note";
  }
}

}  // namespace

std::string Finding::line() const { return where + ": " + wordOf(severity) + ": " + what; }

}  // namespace wmihost
