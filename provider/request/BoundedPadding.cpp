#include "provider/request/BoundedPadding.h"

#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>

#include <string>

namespace qrv::cim {

BoundedPadding::BoundedPadding(xercesc::MemoryManager& memory, std::size_t maxLength)
    : XalanEXSLTFunctionPadding(memory), maxLength_(maxLength) {}

BoundedPadding::BoundedPadding(const BoundedPadding& other, xercesc::MemoryManager& memory)
    : XalanEXSLTFunctionPadding(other, memory), maxLength_(other.maxLength_) {}

void BoundedPadding::install(xalanc::XSLTProcessorEnvSupportDefault& envSupport, xercesc::MemoryManager& memory,
                             std::size_t maxBytes) {
  const BoundedPadding padding(memory, maxBytes / sizeof(xalanc::XalanDOMChar));
  envSupport.installExternalFunctionLocal(xalanc::XalanDOMString("http://exslt.org/strings", memory),
                                          xalanc::XalanDOMString("padding", memory), padding);
}

xalanc::XObjectPtr BoundedPadding::execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                                           const XObjectArgVectorType& args, const xalanc::Locator* locator) const {
  if (!args.empty() && args[0]->num(executionContext) > static_cast<double>(maxLength_)) {
    const std::string message = "str:padding() asked for more than " + std::to_string(maxLength_) +
                                " characters, beyond the transform's memory (KORVEX_TRANSFORM_MAX_MEMORY_BYTES)";
    throw xalanc::XalanXPathException(xalanc::XalanDOMString(message.c_str(), executionContext.getMemoryManager()),
                                      executionContext.getMemoryManager(), locator);
  }
  return XalanEXSLTFunctionPadding::execute(executionContext, context, args, locator);
}

BoundedPadding* BoundedPadding::clone(xercesc::MemoryManager& memory) const {
  return xalanc::XalanCopyConstruct(memory, *this, memory);
}

}  // namespace qrv::cim
