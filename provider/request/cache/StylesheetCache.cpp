#include "provider/request/cache/StylesheetCache.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/sax/EntityResolver.hpp>
#include <xercesc/sax/SAXException.hpp>

#include <algorithm>
#include <utility>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/XercesText.h"
#include "provider/request/xslt/FileUrl.h"
#include "provider/request/xslt/StylesheetLimits.h"
#include "provider/request/xslt/TransformProblems.h"
#include "provider/request/xslt/XalanText.h"

namespace qrv::cim {

namespace {

// Notes the identity of every file that the compiler pulls in through
// xsl:include and xsl:import, before it reads it, and leaves the reading to
// the compiler; a file beyond the StylesheetLimits ends the compiling. A
// file that is no local file cannot be watched: the stylesheet is then used
// once and not kept.
class IncludedFiles : public xercesc::EntityResolver {
 public:
  explicit IncludedFiles(CompiledStylesheet::Files& files) : files_(files) {}

  xercesc::InputSource* resolveEntity(const XMLCh* const, const XMLCh* const systemId) override {
    if (!systemId) return nullptr;
    const std::string path = pathOfFileUrl(transcode(systemId));
    const std::optional<FileIdentity> identity = path.empty() ? std::nullopt : identityOf(path);
    // An empty name marks a file that cannot be watched.
    files_.emplace_back(identity ? path : std::string(), identity.value_or(FileIdentity{}));
    const std::string fault = identity ? stylesheetFault(path) : std::string();
    if (!fault.empty()) throw xercesc::SAXException(("the included " + path + " is refused: " + fault).c_str());
    return nullptr;
  }

 private:
  CompiledStylesheet::Files& files_;
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

std::shared_ptr<const CompiledStylesheet> compileStylesheet(const std::string& path, StylesheetProblem& problem) {
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
  IncludedFiles included(files);
  owner->setEntityResolver(&included);
  // Its warnings are diagnostic lines, where Xalan-C writes them to the standard error stream.
  xalanc::XalanDOMString errorText;
  xalanc::DOMStringPrintWriter errors(errorText);
  TransformProblems problems(xalanc::XalanMemMgrs::getDefaultXercesMemMgr(), errors);
  owner->setProblemListener(&problems);
  const std::string url = fileUrl(path);
  const xalanc::XalanCompiledStylesheet* compiled = nullptr;
  const int status = owner->compileStylesheet(xalanc::XSLTInputSource(url.c_str()), compiled);
  owner->setEntityResolver(nullptr);
  owner->setProblemListener(nullptr);
  if (status != 0) {
    // Xalan-C's own message, with the file and line, is what the listener took.
    problem = {StylesheetProblem::DoesNotCompile, errorText.empty() ? owner->getLastError() : narrow(errorText)};
    return nullptr;
  }
  return std::make_shared<const CompiledStylesheet>(std::move(owner), compiled, std::move(files));
}

std::shared_ptr<const CompiledStylesheet> StylesheetCache::find(const std::string& path) {
  if (std::shared_ptr<const CompiledStylesheet> stylesheet = kept(path)) {
    if (stylesheet->current()) return stylesheet;
  }
  StylesheetProblem problem;
  std::shared_ptr<const CompiledStylesheet> stylesheet = compileStylesheet(path, problem);
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
