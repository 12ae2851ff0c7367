#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

#include <cstddef>

#include "provider/request/CountingMemoryManager.h"
#include "provider/request/TransformBudget.h"

namespace qrv::cim {

// Xalan-C's execution context with a checkpoint at the start of every
// instruction of the stylesheet and every location step of its XPath
// expressions, where a TransformBudget is checked: the memory held at every
// step (a string doubled at each step would outgrow any other pace), the
// rest every few steps. Xalan-C runs templates on stacks of its own (no
// recursion on the machine stack), and its errors leave an instruction or a
// step at these same points, so a transform ended there is cleaned up as
// after any failed one.
class BoundedExecutionContext : public xalanc::StylesheetExecutionContextDefault {
 public:
  explicit BoundedExecutionContext(CountingMemoryManager& memory);

  // Checks `budget` from now on, against the memory held beyond what is
  // held now; null ends the checks.
  void watch(TransformBudget* budget);

  // Asked at the start of every instruction.
  tl_size_type getTraceListeners() const override;
  // Asked at the start of every location step.
  xalanc::MutableNodeRefList* borrowMutableNodeRefList() override;

 private:
  void checkpoint() const;

  CountingMemoryManager& memory_;
  TransformBudget* budget_ = nullptr;
  std::size_t memoryAtStart_ = 0;
  // The memory held beyond which the budget is checked at once.
  std::size_t memoryCeiling_ = 0;
  mutable std::size_t steps_ = 0;
};

}  // namespace qrv::cim
