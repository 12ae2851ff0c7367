#pragma once

#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>

#include <string>

namespace qrv::cim {

// An error handler that keeps the first error of a parse, as "line L,
// column C: message", for the one diagnostic line that reports it, and
// writes nothing anywhere (the XML libraries' own handlers write to the
// standard error stream, which in a provider belongs to its host). The
// parser stops at a fatal error.
class FirstParseError : public xercesc::ErrorHandler {
 public:
  void warning(const xercesc::SAXParseException&) override {}
  void error(const xercesc::SAXParseException& error) override { keep(error); }
  void fatalError(const xercesc::SAXParseException& error) override { keep(error); }
  void resetErrors() override { text_.clear(); }

  // Empty when there was none.
  const std::string& text() const { return text_; }

 private:
  void keep(const xercesc::SAXParseException& error);

  std::string text_;
};

}  // namespace qrv::cim
