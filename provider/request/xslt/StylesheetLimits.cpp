#include "provider/request/xslt/StylesheetLimits.h"

#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <memory>
#include <vector>

#include "provider/registration/XercesText.h"

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

// The XSLT name of an element: its local name in the XSLT namespace, or empty.
std::string xslName(const XMLCh* uri, const XMLCh* localName) {
  return transcode(uri) == "http://www.w3.org/1999/XSL/Transform" ? transcode(localName) : std::string();
}

// Reads the file and ends the reading with a Fault at the first bound passed.
class LimitsHandler : public xercesc::DefaultHandler {
 public:
  struct Fault {
    std::string reason;
  };

  void startDTD(const XMLCh*, const XMLCh*, const XMLCh*) override {
    throw Fault{"it has a document type declaration"};
  }

  void startElement(const XMLCh* uri, const XMLCh* localName, const XMLCh* qname,
                    const xercesc::Attributes& attributes) override {
    if (open_.size() == StylesheetLimits::kMaxElementDepth) {
      throw Fault{"its elements nest deeper than " + std::to_string(StylesheetLimits::kMaxElementDepth)};
    }
    for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
      if (bracketDepth(attributes.getValue(i)) > StylesheetLimits::kMaxBracketDepth) {
        throw Fault{"the brackets of the attribute " + transcode(attributes.getQName(i)) + " of <" + transcode(qname) +
                    "> nest deeper than " + std::to_string(StylesheetLimits::kMaxBracketDepth)};
      }
    }
    // Xalan-C compiles an xsl:with-param in any instruction, and its transform crashes on it.
    const std::string name = xslName(uri, localName);
    if (name == "with-param" && (open_.empty() || !open_.back())) {
      throw Fault{"an xsl:with-param stands outside xsl:call-template and xsl:apply-templates"};
    }
    open_.push_back(name == "call-template" || name == "apply-templates");
  }

  void endElement(const XMLCh*, const XMLCh*, const XMLCh*) override { open_.pop_back(); }

 private:
  // For each open element, whether it takes xsl:with-param.
  std::vector<bool> open_;
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
