#pragma once
// Runs systemctl (looked up in PATH) and collects its standard output.

#include <string>
#include <vector>

namespace rulo::posix {

struct SystemctlResult {
  int exitCode = -1;  // -1, with errno set, when systemctl could not be run
  std::string output;
};

SystemctlResult systemctl(const std::vector<std::string>& arguments);

}  // namespace rulo::posix
