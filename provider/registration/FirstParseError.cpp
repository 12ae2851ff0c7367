#include "provider/registration/FirstParseError.h"

#include "provider/registration/XercesText.h"

namespace qrv::cim {

void FirstParseError::keep(const xercesc::SAXParseException& error) {
  if (!text_.empty()) return;
  text_ = "line " + std::to_string(error.getLineNumber()) + ", column " + std::to_string(error.getColumnNumber()) +
          ": " + transcode(error.getMessage());
}

}  // namespace qrv::cim
