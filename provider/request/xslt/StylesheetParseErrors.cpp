#include "provider/request/xslt/StylesheetParseErrors.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/XercesText.h"

namespace qrv::cim {

void StylesheetParseErrors::warning(const xercesc::SAXParseException& problem) { tell("warning", problem); }

void StylesheetParseErrors::error(const xercesc::SAXParseException& problem) { tell("error", problem); }

void StylesheetParseErrors::fatalError(const xercesc::SAXParseException& problem) { throw problem; }

void StylesheetParseErrors::tell(const char* kind, const xercesc::SAXParseException& problem) {
  diagnose([&] {
    return std::string("XML parser ") + kind + " in " + transcode(problem.getSystemId()) + " at line " +
           std::to_string(problem.getLineNumber()) + ", column " + std::to_string(problem.getColumnNumber()) + ": " +
           transcode(problem.getMessage());
  });
}

}  // namespace qrv::cim
