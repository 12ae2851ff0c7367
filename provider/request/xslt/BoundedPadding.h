#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanEXSLT/XalanEXSLTStringImpl.hpp>

namespace qrv::cim {

// EXSLT's str:padding(length, text), refused in a bounded transform for a
// length whose string alone would pass the transform's memory bound: the
// function builds its string in one step, which no checkpoint could stop
// before the memory is gone.
class BoundedPadding : public xalanc::XalanEXSLTFunctionPadding {
 public:
  explicit BoundedPadding(xercesc::MemoryManager& memory);
  BoundedPadding(const BoundedPadding& other, xercesc::MemoryManager& memory);

  // Puts it in place of EXSLT's own for every transform; to be called once
  // Xalan-C is initialized, before the first transform.
  static void install();

  xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                             const XObjectArgVectorType& args, const xalanc::Locator* locator) const override;
  using ParentType::execute;

  BoundedPadding* clone(xercesc::MemoryManager& memory) const override;
};

}  // namespace qrv::cim
