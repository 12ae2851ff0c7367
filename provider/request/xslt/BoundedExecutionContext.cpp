#include "provider/request/xslt/BoundedExecutionContext.h"

#include <algorithm>
#include <limits>
#include <string>

namespace qrv::cim {

BoundedExecutionContext::BoundedExecutionContext(CountingMemoryManager& memory)
    : StylesheetExecutionContextDefault(memory), memory_(memory) {}

void BoundedExecutionContext::watch(TransformBudget* budget, DocumentFiles* documents) {
  budget_ = budget;
  documents_ = documents;
  memoryAtStart_ = memory_.live();
  memoryCeiling_ = memoryAtStart_ + std::min(memoryBound(), std::numeric_limits<std::size_t>::max() - memoryAtStart_);
  stepsToCheck_ = kStepsPerCheck;
}

std::size_t BoundedExecutionContext::memoryBound() const {
  return budget_ ? budget_->limits().maxMemoryBytes : std::numeric_limits<std::size_t>::max();
}

BoundedExecutionContext::tl_size_type BoundedExecutionContext::getTraceListeners() const {
  checkpoint();
  // The transformer attaches no trace listener.
  return 0;
}

xalanc::MutableNodeRefList* BoundedExecutionContext::borrowMutableNodeRefList() {
  checkpoint();
  return StylesheetExecutionContextDefault::borrowMutableNodeRefList();
}

xalanc::XalanDocument* BoundedExecutionContext::parseXML(xalanc::MemoryManager&, const xalanc::XalanDOMString& url,
                                                        const xalanc::XalanDOMString& base,
                                                        xercesc::ErrorHandler*) const {
  if (!budget_ || !documents_) return nullptr;
  check();
  std::string problem;
  xalanc::XalanDocument* const document = documents_->load(url, base, [this] { check(); }, problem);
  if (!document) budget_->end(problem);
  return document;
}

void BoundedExecutionContext::check() const {
  stepsToCheck_ = kStepsPerCheck;
  if (!budget_) return;
  const std::size_t live = memory_.live();
  // The stack of templates applied, their parameters and variables, up to the innermost template.
  const int depth = getCurrentStackFrameIndex();
  budget_->check(static_cast<std::size_t>(depth > 0 ? depth : 0), live > memoryAtStart_ ? live - memoryAtStart_ : 0);
}

}  // namespace qrv::cim
