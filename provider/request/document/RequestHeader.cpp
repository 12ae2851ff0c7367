#include "provider/request/document/RequestHeader.h"

#include "provider/request/document/HostName.h"
#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {

std::string writeRequestHeader(const std::string& operation, const std::string& className,
                               const std::string& nameSpace, const std::string& userName) {
  // Every value is escaped: a host or user name may hold "&", "<" or a quote.
  std::string header =
      "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM ";
  header += "cim-operation=\"" + escapeXml(operation) + "\"";
  header += " creation-class-name=\"" + escapeXml(className) + "\"";
  header += " creation-class-namespace=\"" + escapeXml(nameSpace) + "\"";
  header += " system-name=\"" + escapeXml(hostName()) + "\"";
  header += " user-name=\"" + escapeXml(userName) + "\">";
  return header;
}

}  // namespace qrv::cim
