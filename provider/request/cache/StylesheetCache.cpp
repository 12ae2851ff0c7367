#include "provider/request/cache/StylesheetCache.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/sax/EntityResolver.hpp>
#include <xercesc/sax/SAXException.hpp>

#include <algorithm>
#include <utility>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/XercesText.h"
#include "provider/request/xslt/FileUrl.h"
#include "provider/request/xslt/ReachableFile.h"
#include "provider/request/xslt/StylesheetLimits.h"
#include "provider/request/xslt/StylesheetParseErrors.h"
#include "provider/request/xslt/TransformProblems.h"
#include "provider/request/xslt/XalanText.h"

namespace qrv::cim {

namespace {

// Notes the identity of every file that the compiler pulls in through
// xsl:include and xsl:import before it reads it, and hands the compiler that
// very file. A file outside the stylesheet root or beyond the
// StylesheetLimits ends the compiling, and refusal() says why.
class IncludedFiles : public xercesc::EntityResolver {
 public:
  IncludedFiles(const std::string& root, CompiledStylesheet::Files& files) : root_(root), files_(files) {}

  xercesc::InputSource* resolveEntity(const XMLCh* const, const XMLCh* const systemId) override {
    const std::string url = transcode(systemId);
    const FileReach reach = reachFile(url, root_);
    if (!reach.refusal.empty()) refuse(url + ", which " + reach.refusal);
    const std::optional<FileIdentity> identity = identityOf(reach.path);
    // An empty name marks a file that cannot be watched: one that is missing,
    // which the compiler then reports.
    files_.emplace_back(identity ? reach.path : std::string(), identity.value_or(FileIdentity{}));
    const std::string fault = identity ? stylesheetFault(reach.path) : std::string();
    if (!fault.empty()) refuse(reach.path + ", which is refused: " + fault);
    const xalanc::XalanDOMString path(reach.path.c_str(), xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    return new xercesc::LocalFileInputSource(path.c_str());
  }

  // Why an included or imported file was refused; empty while none was.
  const std::string& refusal() const { return refusal_; }

 private:
  [[noreturn]] void refuse(const std::string& what) {
    refusal_ = "it includes or imports " + what;
    throw xercesc::SAXException(refusal_.c_str());
  }

  const std::string& root_;
  CompiledStylesheet::Files& files_;
  std::string refusal_;
};

}  // namespace

CompiledStylesheet::CompiledStylesheet(std::unique_ptr<xalanc::XalanTransformer> owner,
                                       const xalanc::XalanCompiledStylesheet* compiled, Files files)
    : owner_(std::move(owner)), compiled_(compiled), files_(std::move(files)) {}

CompiledStylesheet::~CompiledStylesheet() { owner_->destroyStylesheet(compiled_); }

bool CompiledStylesheet::current() const {
  return std::all_of(files_.begin(), files_.end(), [](const auto& file) {
    const std::optional<FileIdentity> now = file.first.empty() ? std::nullopt : identityOf(file.first);
    return now && *now == file.second;
  });
}

bool CompiledStylesheet::reusable() const {
  return std::all_of(files_.begin(), files_.end(),
                     [](const auto& file) { return !file.first.empty() && settled(file.second); });
}

std::shared_ptr<const CompiledStylesheet> compileStylesheet(const std::string& path, const std::string& root,
                                                            StylesheetProblem& problem) {
  if (std::string fault = stylesheetFault(path); !fault.empty()) {
    problem = {StylesheetProblem::Refused, std::move(fault)};
    return nullptr;
  }
  CompiledStylesheet::Files files;
  const std::optional<FileIdentity> identity = identityOf(path);
  files.emplace_back(identity ? path : std::string(), identity.value_or(FileIdentity{}));
  // The transformer that compiles a stylesheet owns it until it is destroyed
  // through that transformer; any other transformer may apply it.
  auto owner = std::make_unique<xalanc::XalanTransformer>(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
  IncludedFiles included(root, files);
  owner->setEntityResolver(&included);
  // Its warnings are diagnostic lines, where Xalan-C writes them to the standard error stream.
  xalanc::XalanDOMString errorText;
  xalanc::DOMStringPrintWriter errors(errorText);
  TransformProblems problems(xalanc::XalanMemMgrs::getDefaultXercesMemMgr(), errors);
  owner->setProblemListener(&problems);
  // And the XML parser's complaints, which Xalan-C writes there too.
  StylesheetParseErrors parseErrors;
  owner->setErrorHandler(&parseErrors);
  const std::string url = fileUrl(path);
  const xalanc::XalanCompiledStylesheet* compiled = nullptr;
  const int status = owner->compileStylesheet(xalanc::XSLTInputSource(url.c_str()), compiled);
  owner->setEntityResolver(nullptr);
  owner->setProblemListener(nullptr);
  owner->setErrorHandler(nullptr);
  if (!included.refusal().empty()) {
    problem = {StylesheetProblem::Refused, included.refusal()};
    return nullptr;
  }
  if (status != 0) {
    // Xalan-C's own message, with the file and line, is what the listener took.
    problem = {StylesheetProblem::DoesNotCompile, errorText.empty() ? owner->getLastError() : narrow(errorText)};
    return nullptr;
  }
  return std::make_shared<const CompiledStylesheet>(std::move(owner), compiled, std::move(files));
}

std::shared_ptr<const CompiledStylesheet> StylesheetCache::find(const std::string& path, const std::string& root) {
  if (std::shared_ptr<const CompiledStylesheet> stylesheet = kept(path)) {
    if (stylesheet->current()) return stylesheet;
  }
  StylesheetProblem problem;
  std::shared_ptr<const CompiledStylesheet> stylesheet = compileStylesheet(path, root, problem);
  if (!stylesheet) {
    diagnose([&] {
      return "the stylesheet " + path + (problem.kind == StylesheetProblem::Refused ? " is refused: " : " does not compile: ") +
             problem.text;
    });
  }
  if (stylesheet && stylesheet->reusable()) keep(path, stylesheet);
  return stylesheet;
}

std::shared_ptr<const CompiledStylesheet> StylesheetCache::kept(const std::string& path) {
  const std::lock_guard<std::mutex> guard(lock_);
  const auto found =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.first == path; });
  if (found == entries_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found);
  return found->second;
}

void StylesheetCache::keep(const std::string& path, std::shared_ptr<const CompiledStylesheet> stylesheet) {
  std::list<Entry> dropped;  // destroyed after the lock is left
  const std::lock_guard<std::mutex> guard(lock_);
  const auto found =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.first == path; });
  if (found != entries_.end()) dropped.splice(dropped.end(), entries_, found);
  entries_.emplace_front(path, std::move(stylesheet));
  while (entries_.size() > capacity_) dropped.splice(dropped.end(), entries_, std::prev(entries_.end()));
}

void StylesheetCache::clear() {
  std::list<Entry> dropped;
  const std::lock_guard<std::mutex> guard(lock_);
  dropped.swap(entries_);
}

}  // namespace qrv::cim
