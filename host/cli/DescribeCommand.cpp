#include "host/cli/DescribeCommand.h"

#include "host/cim/ClassDeclarationText.h"
#include "host/cli/OperationError.h"
#include "host/cli/RequestRunner.h"

namespace wmihost {

int runDescribe(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics) {
  const Request& request = command.requests.front();
  const RequestRunner runner(command, diagnostics);
  RequestOutcome failed;
  const auto definition = runner.findClass(request.operand, failed);
  if (!definition) throw OperationError(requestText(request), failed.result, failed.detail);
  out << classDeclarationText(*definition);
  return 0;
}

}  // namespace wmihost
