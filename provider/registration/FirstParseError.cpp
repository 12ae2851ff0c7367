#include "provider/registration/FirstParseError.h"

#include <xercesc/util/XMLString.hpp>

namespace qrv::cim {

std::string parseErrorText(const xercesc::SAXParseException& error) {
  char* message = xercesc::XMLString::transcode(error.getMessage());
  std::string text = "line " + std::to_string(error.getLineNumber()) + ", column " +
                     std::to_string(error.getColumnNumber()) + ": " + (message ? message : "");
  xercesc::XMLString::release(&message);
  return text;
}

void FirstParseError::keep(const xercesc::SAXParseException& error) {
  if (text_.empty()) text_ = parseErrorText(error);
}

}  // namespace qrv::cim
