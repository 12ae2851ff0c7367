#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanEXSLT/XalanEXSLTStringImpl.hpp>

#include <cstddef>

namespace XALAN_CPP_NAMESPACE {
class XSLTProcessorEnvSupportDefault;
}

namespace qrv::cim {

// EXSLT's str:padding(length, text), refused for a length beyond a bound:
// the function builds its string in one step, which no checkpoint of the
// transform could stop before the memory is gone.
class BoundedPadding : public xalanc::XalanEXSLTFunctionPadding {
 public:
  BoundedPadding(xercesc::MemoryManager& memory, std::size_t maxLength);
  BoundedPadding(const BoundedPadding& other, xercesc::MemoryManager& memory);

  // In place of the shared str:padding, for the transforms of `envSupport`:
  // at most as many characters as fit in `maxBytes`.
  static void install(xalanc::XSLTProcessorEnvSupportDefault& envSupport, xercesc::MemoryManager& memory,
                      std::size_t maxBytes);

  xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                             const XObjectArgVectorType& args, const xalanc::Locator* locator) const override;
  using ParentType::execute;

  BoundedPadding* clone(xercesc::MemoryManager& memory) const override;

 private:
  std::size_t maxLength_;
};

}  // namespace qrv::cim
