#pragma once
// A MOF file that the repository cannot read; the message names the file
// and the line: "classes.mof:12: expected ';' after property Name".

#include <stdexcept>
#include <string>

namespace wmihost {

class MofError : public std::runtime_error {
 public:
  MofError(const std::string& file, int line, const std::string& message)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
};

}  // namespace wmihost
