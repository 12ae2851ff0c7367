#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

#include <cstddef>

#include "provider/request/xslt/CountingMemoryManager.h"
#include "provider/request/xslt/DocumentFiles.h"
#include "provider/request/xslt/TransformBudget.h"

namespace qrv::cim {

// Xalan-C's execution context with a checkpoint at the start of every
// instruction of the stylesheet and every location step of its XPath
// expressions, where a TransformBudget is checked: the memory held at every
// step (a string doubled at each step would outgrow any other pace), the
// rest every few steps. Xalan-C runs templates on stacks of its own (no
// recursion on the machine stack), and its errors leave an instruction or a
// step at these same points, so a transform ended there is cleaned up as
// after any failed one. The files that document() reads come from
// DocumentFiles, with the budget checked before each one and as it is parsed;
// a file that cannot be had ends the transform. format-number() is the
// provider's own (formatXalanNumber), the same on every system.
class BoundedExecutionContext : public xalanc::StylesheetExecutionContextDefault {
 public:
  explicit BoundedExecutionContext(CountingMemoryManager& memory);

  // Checks `budget` from now on, against the memory held beyond what is
  // held now, and reads document() files from `documents`; null ends both.
  void watch(TransformBudget* budget, DocumentFiles* documents);

  // The memory the transform may hold, in bytes; no bound while none is watched.
  std::size_t memoryBound() const;

  // Asked at the start of every instruction; none are attached.
  tl_size_type getTraceListeners() const override;
  // Asked at the start of every location step.
  xalanc::MutableNodeRefList* borrowMutableNodeRefList() override;
  // Asked for the file of every document() call.
  xalanc::XalanDocument* parseXML(xalanc::MemoryManager& memory, const xalanc::XalanDOMString& url,
                                  const xalanc::XalanDOMString& base, xercesc::ErrorHandler* errors) const override;

  // Also kept here, for the decimal formats it declares, until the reset.
  void setStylesheetRoot(const xalanc::StylesheetRoot* stylesheet) override;
  void reset() override;

  // format-number() with the unnamed decimal format and with a named one
  // (formatXalanNumber); a name that no xsl:decimal-format declares is an
  // error, as is an invalid pattern.
  void formatNumber(double number, const xalanc::XalanDOMString& pattern, xalanc::XalanDOMString& result,
                    const xalanc::XalanNode* context, const xalanc::Locator* locator) override;
  void formatNumber(double number, const xalanc::XalanDOMString& pattern, const xalanc::XalanDOMString& name,
                    xalanc::XalanDOMString& result, const xalanc::XalanNode* context,
                    const xalanc::Locator* locator) override;

 private:
  // Steps between two checks of the budget: a check reads the clock, the
  // steps in between cost a counter and a look at the memory held.
  static constexpr std::size_t kStepsPerCheck = 256;

  void checkpoint() const {
    if (--stepsToCheck_ == 0 || memory_.live() > memoryCeiling_) check();
  }
  void check() const;
  // The decimal format that the stylesheet declares under `name`, or null.
  const xalanc::XalanDecimalFormatSymbols* decimalFormat(const xalanc::XalanQName& name) const;

  CountingMemoryManager& memory_;
  const xalanc::StylesheetRoot* stylesheet_ = nullptr;
  TransformBudget* budget_ = nullptr;
  DocumentFiles* documents_ = nullptr;
  std::size_t memoryAtStart_ = 0;
  // The memory held beyond which the budget is checked at once.
  std::size_t memoryCeiling_ = 0;
  mutable std::size_t stepsToCheck_ = kStepsPerCheck;
};

}  // namespace qrv::cim
