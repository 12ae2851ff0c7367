#pragma once
// Runs systemctl (looked up in PATH) and collects its standard output and
// its messages on standard error.

#include <string>
#include <vector>

namespace rulo::posix {

struct SystemctlResult {
  int exitCode = -1;  // -1, with errno set, when systemctl could not be run
  std::string output;
  std::string errors;  // what it said on standard error
};

SystemctlResult systemctl(const std::vector<std::string>& arguments);

}  // namespace rulo::posix
