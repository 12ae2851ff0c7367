#include "host/check/XmlChecks.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>

#include <filesystem>
#include <system_error>

#include "provider/registration/Diagnostic.h"
#include "provider/registration/FirstParseError.h"

namespace wmihost {

namespace {

using xercesc::XMLString;

std::string narrow(const XMLCh* text) {
  char* bytes = XMLString::transcode(text);
  const std::string result = bytes ? bytes : "";
  XMLString::release(&bytes);
  return result;
}

bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

XmlLibraries::XmlLibraries() {
  xercesc::XMLPlatformUtils::Initialize();
  xalanc::XalanTransformer::initialize(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
}

XmlLibraries::~XmlLibraries() {
  xalanc::XalanTransformer::terminate();
  xercesc::XMLPlatformUtils::Terminate();
}

std::string xmlFileProblem(const std::string& path) {
  if (!exists(path)) return "the file does not exist";
  qrv::cim::FirstParseError errors;
  xercesc::SAXParser parser;
  parser.setDisableDefaultEntityResolution(true);
  parser.setLoadExternalDTD(false);
  parser.setErrorHandler(&errors);
  try {
    parser.parse(path.c_str());
  } catch (const xercesc::XMLException& error) {
    return narrow(error.getMessage());
  }
  return errors.text();
}

std::string stylesheetProblem(const std::string& path) {
  if (!exists(path)) return "the file does not exist";
  xalanc::XalanTransformer transformer(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
  const xalanc::XSLTInputSource source(path.c_str());
  const xalanc::XalanCompiledStylesheet* stylesheet = nullptr;
  if (transformer.compileStylesheet(source, stylesheet) != 0) return qrv::cim::singleLine(transformer.getLastError());
  transformer.destroyStylesheet(stylesheet);
  return "";
}

}  // namespace wmihost
