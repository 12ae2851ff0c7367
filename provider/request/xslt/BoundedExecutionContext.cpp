#include "provider/request/xslt/BoundedExecutionContext.h"

#include <xalanc/XPath/XalanQNameByValue.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XSLT/StylesheetRoot.hpp>

#include <algorithm>
#include <limits>
#include <string>

#include "provider/request/xslt/XalanFormatNumber.h"
#include "provider/request/xslt/XalanText.h"

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

void BoundedExecutionContext::setStylesheetRoot(const xalanc::StylesheetRoot* stylesheet) {
  stylesheet_ = stylesheet;
  StylesheetExecutionContextDefault::setStylesheetRoot(stylesheet);
}

void BoundedExecutionContext::reset() {
  stylesheet_ = nullptr;
  StylesheetExecutionContextDefault::reset();
}

const xalanc::XalanDecimalFormatSymbols* BoundedExecutionContext::decimalFormat(const xalanc::XalanQName& name) const {
  return stylesheet_ ? stylesheet_->getDecimalFormatSymbols(name) : nullptr;
}

void BoundedExecutionContext::formatNumber(double number, const xalanc::XalanDOMString& pattern,
                                           xalanc::XalanDOMString& result, const xalanc::XalanNode*,
                                           const xalanc::Locator* locator) {
  const xalanc::XalanQNameByValue unnamed(getMemoryManager());
  formatXalanNumber(*this, number, pattern, decimalFormat(unnamed), result, locator);
}

void BoundedExecutionContext::formatNumber(double number, const xalanc::XalanDOMString& pattern,
                                           const xalanc::XalanDOMString& name, xalanc::XalanDOMString& result,
                                           const xalanc::XalanNode*, const xalanc::Locator* locator) {
  const xalanc::XalanQNameByValue qualified(name, getMemoryManager(), getPrefixResolver(), locator);
  const xalanc::XalanDecimalFormatSymbols* const symbols = decimalFormat(qualified);
  if (!symbols) {
    const std::string message = "format-number(): no xsl:decimal-format is named '" + narrow(name) + "'";
    throw xalanc::XalanXPathException(xalanc::XalanDOMString(message.c_str(), getMemoryManager()), getMemoryManager(),
                                      locator);
  }
  formatXalanNumber(*this, number, pattern, symbols, result, locator);
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
