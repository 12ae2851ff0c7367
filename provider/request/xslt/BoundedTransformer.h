#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <memory>
#include <string>

#include "provider/request/xslt/CountingMemoryManager.h"
#include "provider/request/xslt/DocumentBounds.h"
#include "provider/request/xslt/TransformBudget.h"

namespace XALAN_CPP_NAMESPACE {
class XalanCompiledStylesheet;
class XalanDOMString;
class XalanParsedSource;
class XSLTResultTarget;
}  // namespace XALAN_CPP_NAMESPACE

namespace qrv::cim {

class BoundedExecutionContext;

// Applies compiled stylesheets to parsed documents, one transform at a time,
// each within a TransformBudget: the steps of Xalan-C's own transformer, run
// on an execution context that checks the budget as the stylesheet goes. A
// transform ended by its budget fails like any other, and the transformer
// serves the next one as before.
class BoundedTransformer {
 public:
  BoundedTransformer();
  ~BoundedTransformer();
  BoundedTransformer(const BoundedTransformer&) = delete;
  BoundedTransformer& operator=(const BoundedTransformer&) = delete;

  // Whether the transform succeeded; when it did not, lastError() says why
  // (for a passed bound, which one) and `target` holds what was written.
  // The stylesheet reads with document() only what `bounds` allow.
  bool transform(const xalanc::XalanParsedSource& source, const xalanc::XalanCompiledStylesheet* stylesheet,
                 const xalanc::XSLTResultTarget& target, TransformBudget& budget, const DocumentBounds& bounds);

  const std::string& lastError() const { return lastError_; }

 private:
  // The transform itself; Xalan-C's errors and the budget's end leave it by
  // exceptions, its problems collect in `problems`.
  void run(const xalanc::XalanParsedSource& source, const xalanc::XalanCompiledStylesheet& stylesheet,
           const xalanc::XSLTResultTarget& target, TransformBudget& budget, const DocumentBounds& bounds,
           xalanc::XalanDOMString& problems);

  // Declared first: what the context holds goes back to it.
  CountingMemoryManager memory_;
  std::unique_ptr<BoundedExecutionContext> context_;
  std::string lastError_;
};

}  // namespace qrv::cim
