#include "provider/registration/ClassLoader.h"

#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "common/text/AsciiCase.h"
#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ClassCache.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/registration/RegistrationParseHandler.h"
#include "provider/registration/XercesText.h"

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
  explicit RegistrationParser(const ClassMapSink& sink)
      : handler_(sink), parser_(nullptr, xercesc::XMLPlatformUtils::fgMemoryManager, nullptr) {
    securityManager_.setEntityExpansionLimit(kEntityExpansionLimit);
    parser_.setDisableDefaultEntityResolution(true);
    parser_.setLoadExternalDTD(false);
    parser_.setSecurityManager(&securityManager_);
    parser_.setDocumentHandler(&handler_);
    parser_.setErrorHandler(&handler_);
    parser_.setDTDHandler(&handler_);  // makes the scanner report the document type declaration
  }

  void parse(const std::string& path) { parser_.parse(path.c_str()); }
  const std::string& problem() const { return handler_.problem(); }

 private:
  xercesc::SecurityManager securityManager_;
  RegistrationParseHandler handler_;
  NoDoctypeSaxParser parser_;
};

std::string messageOf(const xercesc::XMLException& error) {
  return transcode(error.getMessage());
}

// Why the registration file of a class gave no class map for it.
std::string missingClassReason(const std::string& path, const RegistrationParse& parse,
                               const std::vector<std::string>& registered) {
  std::error_code error;
  if (!std::filesystem::exists(nativePath(path), error)) return "the file does not exist";
  if (!parse.problem.empty()) return "it cannot be parsed: " + parse.problem;
  if (registered.empty()) return "it registers no class";
  std::string list;
  for (const std::string& name : registered) list += (list.empty() ? "" : ", ") + name;
  return "it registers only " + list;
}

}  // namespace

std::string registrationPath(const std::string& nameSpace, const std::string& className) {
  return xmlRegRoot() + "/" + text::toLowerAscii(nameSpace) + "/" + text::toLowerAscii(className) + ".xml";
}

RegistrationParse parseRegistration(const std::string& path, const ClassMapSink& sink) {
  RegistrationParse result;
  try {
    RegistrationParser parser(sink);
    try {
      parser.parse(nativePath(path));
      result.problem = parser.problem();
    } catch (const xercesc::XMLException& error) {
      result = {3, messageOf(error)};
    } catch (...) {
      result = {3, parser.problem()};
    }
  } catch (...) {
    result.status = 4;
  }
  return result;
}

int parseRegistrationFile(const std::string& path) { return parseRegistration(path, insertIntoCache).status; }

const ClassMap* findClassMap(const std::string& nameSpace, const std::string& className) {
  if (!staysInRegistrationRoot(nameSpace, className)) {
    diagnose([&] { return "no registration is read for class " + className + " of namespace " + nameSpace +
                          ": the names would lead out of the registration folder"; });
    return nullptr;
  }
  ClassCache* cache = ClassCache::instance();
  if (!cache) return nullptr;
  if (const ClassMap* classMap = cache->find(nameSpace, className)) return classMap;
  const std::string path = registrationPath(nameSpace, className);
  std::vector<std::string> registered;
  const RegistrationParse parse = parseRegistration(path, [&](std::unique_ptr<ClassMap> classMap) {
    if (diagnosticsWanted()) registered.push_back(classMap->className() + " of " + classMap->nameSpace());
    insertIntoCache(std::move(classMap));
  });
  const ClassMap* classMap = cache->find(nameSpace, className);
  if (!classMap) {
    diagnose([&] { return "class " + className + " of namespace " + nameSpace + " is not registered: looked for " +
                          nativePath(path) + ", and " + missingClassReason(path, parse, registered); });
  }
  return classMap;
}

}  // namespace qrv::cim
