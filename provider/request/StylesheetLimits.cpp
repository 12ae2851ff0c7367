#include "provider/request/StylesheetLimits.h"

#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <memory>

namespace qrv::cim {

namespace {

// How deep the parentheses and square brackets of `text` nest.
std::size_t bracketDepth(const XMLCh* text) {
  std::size_t depth = 0;
  std::size_t deepest = 0;
  for (; *text; ++text) {
    if (*text == u'(' || *text == u'[') {
      deepest = std::max(deepest, ++depth);
    } else if ((*text == u')' || *text == u']') && depth > 0) {
      --depth;
    }
  }
  return deepest;
}

std::string narrow(const XMLCh* text) {
  char* bytes = xercesc::XMLString::transcode(text);
  const std::string result = bytes ? bytes : "";
  xercesc::XMLString::release(&bytes);
  return result;
}

// Reads the file and ends the reading with a Fault at the first bound passed.
class LimitsHandler : public xercesc::DefaultHandler {
 public:
  struct Fault {
    std::string reason;
  };

  void startDTD(const XMLCh*, const XMLCh*, const XMLCh*) override { throw Fault{"it has a document type declaration"}; }

  void startElement(const XMLCh*, const XMLCh*, const XMLCh* qname, const xercesc::Attributes& attributes) override {
    if (++depth_ > StylesheetLimits::kMaxElementDepth) {
      throw Fault{"its elements nest deeper than " + std::to_string(StylesheetLimits::kMaxElementDepth)};
    }
    for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
      if (bracketDepth(attributes.getValue(i)) > StylesheetLimits::kMaxBracketDepth) {
        throw Fault{"the brackets of the attribute " + narrow(attributes.getQName(i)) + " of <" + narrow(qname) +
                    "> nest deeper than " + std::to_string(StylesheetLimits::kMaxBracketDepth)};
      }
    }
  }

  void endElement(const XMLCh*, const XMLCh*, const XMLCh*) override { --depth_; }

 private:
  std::size_t depth_ = 0;
};

}  // namespace

std::string stylesheetFault(const std::string& path) {
  const std::unique_ptr<xercesc::SAX2XMLReader> reader(xercesc::XMLReaderFactory::createXMLReader());
  reader->setFeature(xercesc::XMLUni::fgXercesLoadExternalDTD, false);
  LimitsHandler handler;
  reader->setContentHandler(&handler);
  reader->setLexicalHandler(&handler);
  reader->setErrorHandler(&handler);
  try {
    reader->parse(path.c_str());
  } catch (const LimitsHandler::Fault& fault) {
    return fault.reason;
  } catch (...) {
    // Not readable or not well-formed: the compiler says where.
  }
  return {};
}

}  // namespace qrv::cim
