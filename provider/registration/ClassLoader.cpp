#include "provider/registration/ClassLoader.h"

#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include <algorithm>
#include <memory>

#include "common/text/AsciiCase.h"
#include "provider/registration/ClassCache.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/registration/RegistrationParseHandler.h"

namespace qrv::cim {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool hasParentSegment(const std::string& path) {
  std::string::size_type start = 0;
  while (start <= path.size()) {
    std::string::size_type end = start;
    while (end < path.size() && !isSeparator(path[end])) ++end;
    if (path.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

// Whether the registration path of a namespace and class stays below the
// registration root. Both names come from the caller; a class name with a
// separator, a drive or stream colon in either name, or a parent segment in
// the namespace could reach other files.
bool staysInRegistrationRoot(const std::string& nameSpace, const std::string& className) {
  const auto isColon = [](char c) { return c == ':'; };
  if (std::any_of(className.begin(), className.end(), isSeparator)) return false;
  if (std::any_of(className.begin(), className.end(), isColon)) return false;
  if (std::any_of(nameSpace.begin(), nameSpace.end(), isColon)) return false;
  return !hasParentSegment(nameSpace);
}

// Registration files need no declared entities (the predefined ones and
// character references are not counted), so a small bound suffices.
constexpr XMLSize_t kEntityExpansionLimit = 1000;

// A registration needs no document type declaration; one is where entities
// come from that expand a small file into gigabytes, so the parse ends at it
// before its internal subset is read.
class NoDoctypeSaxParser : public xercesc::SAXParser {
 public:
  using SAXParser::SAXParser;

  void doctypeDecl(const xercesc::DTDElementDecl&, const XMLCh*, const XMLCh*, bool, bool) override {
    throw DoctypeRefused();
  }

  struct DoctypeRefused {};
};

// A parser that reads the registration file alone: no document type
// declaration, no external entity or DTD fetched, entity expansion bounded.
class RegistrationParser {
 public:
  RegistrationParser() : parser_(nullptr, xercesc::XMLPlatformUtils::fgMemoryManager, nullptr) {
    securityManager_.setEntityExpansionLimit(kEntityExpansionLimit);
    parser_.setDisableDefaultEntityResolution(true);
    parser_.setLoadExternalDTD(false);
    parser_.setSecurityManager(&securityManager_);
    parser_.setDocumentHandler(&handler_);
    parser_.setErrorHandler(&handler_);
    parser_.setDTDHandler(&handler_);  // makes the scanner report the document type declaration
  }

  void parse(const std::string& path) { parser_.parse(path.c_str()); }

 private:
  xercesc::SecurityManager securityManager_;
  RegistrationParseHandler handler_;
  NoDoctypeSaxParser parser_;
};

}  // namespace

std::string registrationPath(const std::string& nameSpace, const std::string& className) {
  return xmlRegRoot() + "/" + text::toLowerAscii(nameSpace) + "/" + text::toLowerAscii(className) + ".xml";
}

int parseRegistrationFile(const std::string& path) {
  try {
    RegistrationParser parser;
    try {
      parser.parse(nativePath(path));
    } catch (...) {
      return 3;
    }
  } catch (...) {
    return 4;
  }
  return 0;
}

const ClassMap* findClassMap(const std::string& nameSpace, const std::string& className) {
  if (!staysInRegistrationRoot(nameSpace, className)) return nullptr;
  ClassCache* cache = ClassCache::instance();
  if (!cache) return nullptr;
  if (const ClassMap* classMap = cache->find(nameSpace, className)) return classMap;
  parseRegistrationFile(registrationPath(nameSpace, className));
  return cache->find(nameSpace, className);
}

}  // namespace qrv::cim
