#pragma once

#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>

#include <string>

namespace qrv::cim {

// What the XML parser says while a stylesheet, or a file that it includes
// or imports, is read for compiling. Xalan-C's own handler writes it to the
// standard error stream, which in a provider belongs to its host: here a
// warning or an error is a diagnostic line naming the file, line and
// column, and a fatal error is thrown on, as Xalan-C's handler throws it, so
// that the compile fails with its message.
class StylesheetParseErrors : public xercesc::ErrorHandler {
 public:
  void warning(const xercesc::SAXParseException& problem) override;
  void error(const xercesc::SAXParseException& problem) override;
  [[noreturn]] void fatalError(const xercesc::SAXParseException& problem) override;
  void resetErrors() override {}

 private:
  static void tell(const char* kind, const xercesc::SAXParseException& problem);
};

}  // namespace qrv::cim
