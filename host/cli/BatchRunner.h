#pragma once
// Runs the requests of one wmihost invocation in order: those of the command
// line, then those of each batch file line by line as they are read, so that
// standard input can be fed one request at a time. A failed request or a
// line that is no request does not stop the ones after it.

#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "host/cli/RequestOutput.h"
#include "host/cli/RequestRunner.h"

namespace wmihost {

class BatchRunner {
 public:
  using Run = std::function<RequestOutcome(const Request&)>;

  BatchRunner(Run run, RequestOutput& output) : run_(std::move(run)), output_(output) {}

  void runRequests(const std::vector<Request>& requests);
  // The lines of a batch file; name is what reports call it.
  void runLines(std::istream& lines, const std::string& name);

  // Whether every request so far succeeded and every line was a request.
  bool succeeded() const { return succeeded_; }

 private:
  Run run_;
  RequestOutput& output_;
  bool succeeded_ = true;
};

}  // namespace wmihost
