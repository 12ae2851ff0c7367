#include "provider/request/xslt/BoundedPadding.h"

#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <string>

#include "provider/request/xslt/BoundedExecutionContext.h"

namespace qrv::cim {

BoundedPadding::BoundedPadding(xercesc::MemoryManager& memory) : XalanEXSLTFunctionPadding(memory) {}

BoundedPadding::BoundedPadding(const BoundedPadding& other, xercesc::MemoryManager& memory)
    : XalanEXSLTFunctionPadding(other, memory) {}

void BoundedPadding::install() {
  xercesc::MemoryManager& memory = xalanc::XalanMemMgrs::getDefaultXercesMemMgr();
  xalanc::XalanTransformer::installExternalFunctionGlobal(xalanc::XalanDOMString("http://exslt.org/strings", memory),
                                                          xalanc::XalanDOMString("padding", memory),
                                                          BoundedPadding(memory));
}

xalanc::XObjectPtr BoundedPadding::execute(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                                           const XObjectArgVectorType& args, const xalanc::Locator* locator) const {
  const auto* bounded = dynamic_cast<const BoundedExecutionContext*>(&executionContext);
  const std::size_t maxLength = bounded ? bounded->memoryBound() / sizeof(xalanc::XalanDOMChar) : 0;
  if (bounded && !args.empty() && args[0]->num(executionContext) > static_cast<double>(maxLength)) {
    const std::string message = "str:padding() asked for more than " + std::to_string(maxLength) +
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
