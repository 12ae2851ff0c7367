#include "host/check/XmlChecks.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>

#include <filesystem>
#include <system_error>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/FirstParseError.h"
#include "provider/registration/XercesText.h"
#include "provider/request/cache/StylesheetCache.h"

namespace wmihost {

namespace {

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
    return qrv::cim::transcode(error.getMessage());
  }
  return errors.text();
}

std::string stylesheetProblem(const std::string& path, const std::string& xslRoot) {
  if (!exists(path)) return "the file does not exist";
  qrv::cim::StylesheetProblem problem;
  if (qrv::cim::compileStylesheet(path, xslRoot, problem)) return "";
  const std::string text = qrv::cim::singleLine(problem.text);
  return problem.kind == qrv::cim::StylesheetProblem::Refused ? "refused by the provider: " + text : text;
}

}  // namespace wmihost
