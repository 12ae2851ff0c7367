#pragma once
// What wmihost prints for each request. A single request prints its objects
// (formatObjects) and nothing else on standard output. In a batch each
// request's output is kept apart:
//   mof:  a block per request that starts with the comment line
//         "// REQUEST" (and "// failed: CODE NAME" when it failed), blocks
//         separated by a blank line, so that the whole stays MOF;
//   list, csv: the same blocks, their comment lines starting with "# "
//         ("# REQUEST", "# failed: CODE NAME");
//   json: one line per request (JSON Lines):
//         {"request": "...", "result": "0x00000000 WBEM_S_NO_ERROR", "objects": [...]}
//         with "meaning" and "detail" after "result" when it failed, and
//         {"request": "...", "error": "...", "objects": []} for a batch line
//         that is no request.
// Failures are reported on standard error as well (failureReport).

#include <ostream>
#include <string>

#include "host/cli/CommandLine.h"
#include "host/cli/RequestRunner.h"

namespace wmihost {

class RequestOutput {
 public:
  RequestOutput(OutputFormat format, bool batch, std::ostream& out, std::ostream& errors)
      : format_(format), batch_(batch), out_(out), errors_(errors) {}

  // Prints the request's outcome; tells whether it succeeded.
  bool print(const Request& request, const RequestOutcome& outcome);
  // A line of a batch file that is no request; origin is "FILE:LINE".
  void printRefusedLine(const std::string& origin, const std::string& line, const std::string& reason);

 private:
  void printBatch(const std::string& text, const RequestOutcome& outcome);
  // Starts the block of a request: a blank line after an earlier block,
  // then the request as a comment.
  void startBlock(const std::string& text);
  // What starts a comment line: "// " in MOF, "# " in list and csv.
  const char* commentMarker() const;

  OutputFormat format_;
  bool batch_;
  std::ostream& out_;
  std::ostream& errors_;
  bool first_ = true;
};

}  // namespace wmihost
