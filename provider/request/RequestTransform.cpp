#include <sstream>
#include <string_view>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include "provider/registration/Diagnostic.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/FileUrl.h"
#include "provider/request/RequestBase.h"

namespace qrv::cim {

namespace {

std::string_view upToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

RequestStatus RequestBase::transform(const std::string& document, const Conversion& conversion,
                                     std::string& resultText) {
  using namespace xalanc;
  // One transformer per request, so concurrent requests share nothing here.
  // It also owns the compiled stylesheet, which it frees should anything
  // throw before destroyStylesheet.
  XalanTransformer transformer(XalanMemMgrs::getDefaultXercesMemMgr());
  const std::string path = nativePath(xslRoot() + "/" + conversion.relativePath());
  const std::string url = fileUrl(path);
  const XSLTInputSource stylesheetSource(url.c_str());
  const XalanCompiledStylesheet* stylesheet = nullptr;
  if (transformer.compileStylesheet(stylesheetSource, stylesheet) != 0) {
    diagnose([&] { return "the stylesheet " + path + " does not compile: " + transformer.getLastError(); });
    return StylesheetFailed;
  }

  std::ostringstream output;
  const XSLTResultTarget target(output);
  std::istringstream input{std::string(upToZero(document))};
  const XSLTInputSource documentSource(input);
  const int transformed = transformer.transform(documentSource, stylesheet, target);
  transformer.destroyStylesheet(stylesheet);

  resultText = output.str();
  resultText.resize(upToZero(resultText).size());
  if (transformed == 0) return Ok;
  diagnose([&] { return "the stylesheet " + path + " failed on the request: " + transformer.getLastError(); });
  return TransformFailed;
}

}  // namespace qrv::cim
