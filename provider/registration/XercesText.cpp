#include "provider/registration/XercesText.h"

#include <xercesc/util/XMLString.hpp>

namespace qrv::cim {

std::string transcode(const XMLCh* text) {
  char* bytes = xercesc::XMLString::transcode(text);
  const std::string result = bytes ? bytes : "";
  xercesc::XMLString::release(&bytes);
  return result;
}

}  // namespace qrv::cim
