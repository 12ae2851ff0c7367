#include "provider/registration/FirstParseError.h"

#include "provider/registration/XercesText.h"

namespace qrv::cim {

std::string parseErrorText(const xercesc::SAXParseException& error) {
  return "line " + std::to_string(error.getLineNumber()) + ", column " + std::to_string(error.getColumnNumber()) +
         ": " + transcode(error.getMessage());
}

void FirstParseError::keep(const xercesc::SAXParseException& error) {
  if (text_.empty()) text_ = parseErrorText(error);
}

}  // namespace qrv::cim
