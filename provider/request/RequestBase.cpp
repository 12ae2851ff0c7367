#include "provider/request/RequestBase.h"

#include <utility>

#include "provider/registration/Diagnostic.h"
#include "provider/request/HostName.h"

namespace qrv::cim {

RequestBase::RequestBase(std::string userName) : userName_(std::move(userName)) {}

std::string RequestBase::writeHeader(const std::string& operation, const std::string& className,
                                     const std::string& nameSpace) const {
  // The inserted values are written as handed over, without escaping.
  std::string header =
      "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM ";
  header += "cim-operation=\"" + operation + "\"";
  header += " creation-class-name=\"" + className + "\"";
  header += " creation-class-namespace=\"" + nameSpace + "\"";
  header += " system-name=\"" + hostName() + "\"";
  header += " user-name=\"" + userName_ + "\">";
  return header;
}

RequestStatus RequestBase::produceResult(const OperatorBase& op, std::string& document,
                                         std::string& resultText) {
  const RequestStatus dataStatus = appendData(op, document);
  if (dataStatus != Ok) return dataStatus;
  document += "</QRVCIM>";
  if (!namesStylesheet(op)) return NotAccessible;
  return transform(document, *op.conversion(), resultText);
}

bool RequestBase::namesStylesheet(const OperatorBase& op) {
  if (op.conversion()) return true;
  diagnose([] { return std::string("the operation names no stylesheet: its <Conversion> is missing"); });
  return false;
}

}  // namespace qrv::cim
