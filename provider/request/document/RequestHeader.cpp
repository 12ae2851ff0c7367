#include "provider/request/document/RequestHeader.h"

#include "provider/request/document/HostName.h"

namespace qrv::cim {

std::string writeRequestHeader(const std::string& operation, const std::string& className,
                               const std::string& nameSpace, const std::string& userName) {
  // The inserted values are written as handed over, without escaping.
  std::string header =
      "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM ";
  header += "cim-operation=\"" + operation + "\"";
  header += " creation-class-name=\"" + className + "\"";
  header += " creation-class-namespace=\"" + nameSpace + "\"";
  header += " system-name=\"" + hostName() + "\"";
  header += " user-name=\"" + userName + "\">";
  return header;
}

}  // namespace qrv::cim
