#include "provider/request/BoundedExecutionContext.h"

#include <algorithm>
#include <limits>

namespace qrv::cim {

namespace {

// Steps between two checks of the budget: a check reads the clock, the
// steps cost a counter each.
constexpr std::size_t kStepsPerCheck = 256;

}  // namespace

BoundedExecutionContext::BoundedExecutionContext(CountingMemoryManager& memory)
    : StylesheetExecutionContextDefault(memory), memory_(memory) {}

void BoundedExecutionContext::watch(TransformBudget* budget) {
  budget_ = budget;
  memoryAtStart_ = memory_.live();
  const std::size_t allowed = budget ? budget->limits().maxMemoryBytes : 0;
  memoryCeiling_ = memoryAtStart_ + std::min(allowed, std::numeric_limits<std::size_t>::max() - memoryAtStart_);
  steps_ = 0;
}

BoundedExecutionContext::tl_size_type BoundedExecutionContext::getTraceListeners() const {
  checkpoint();
  return StylesheetExecutionContextDefault::getTraceListeners();
}

xalanc::MutableNodeRefList* BoundedExecutionContext::borrowMutableNodeRefList() {
  checkpoint();
  return StylesheetExecutionContextDefault::borrowMutableNodeRefList();
}

void BoundedExecutionContext::checkpoint() const {
  if (!budget_) return;
  const std::size_t live = memory_.live();
  if (++steps_ % kStepsPerCheck != 0 && live <= memoryCeiling_) return;
  // The stack of templates applied, their parameters and variables, up to the innermost template.
  const int depth = getCurrentStackFrameIndex();
  budget_->check(static_cast<std::size_t>(depth > 0 ? depth : 0), live > memoryAtStart_ ? live - memoryAtStart_ : 0);
}

}  // namespace qrv::cim
