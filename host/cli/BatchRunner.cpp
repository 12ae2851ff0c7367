#include "host/cli/BatchRunner.h"

namespace wmihost {

void BatchRunner::runRequests(const std::vector<Request>& requests) {
  for (const Request& request : requests) {
    if (!output_.print(request, run_(request))) succeeded_ = false;
  }
}

void BatchRunner::runLines(std::istream& lines, const std::string& name) {
  std::string line;
  for (std::size_t number = 1; std::getline(lines, line); ++number) {
    std::optional<Request> request;
    try {
      request = parseRequestLine(line);
    } catch (const UsageError& error) {
      output_.printRefusedLine(name + ":" + std::to_string(number), line, error.what());
      succeeded_ = false;
      continue;
    }
    if (request) runRequests({*request});
  }
}

}  // namespace wmihost
