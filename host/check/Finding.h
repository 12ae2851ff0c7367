#pragma once
// What wmihost check found at a place, in the one shape of every line of its
// report: "FILE:LINE: error: what", or "FILE: note: what" without a line.
// Errors make the check fail; warnings and notes do not.

#include <string>

namespace wmihost {

enum class Severity { Error, Warning, Note };

struct Finding {
  // "FILE" or "FILE:LINE".
  std::string where;
  Severity severity = Severity::Error;
  std::string what;

  // The line of the report, without its line feed.
  std::string line() const;
};

}  // namespace wmihost
