#include "provider/request/xslt/BoundedTransformer.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/XMLSupport/XMLParserLiaison.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathFactoryBlock.hpp>
#include <xalanc/XSLT/XSLTEngineImpl.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xalanc/XalanTransformer/XalanCompiledStylesheet.hpp>
#include <xalanc/XalanTransformer/XalanParsedSource.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "provider/request/xslt/BoundedExecutionContext.h"
#include "provider/request/xslt/TransformProblems.h"
#include "provider/request/xslt/XalanText.h"

namespace qrv::cim {

namespace {

using xalanc::XalanDOMString;

// Lends the context the objects of one transform, its budget and its
// document() files, and takes them back after the transform, done or not,
// ready for the next one.
class ContextInUse {
 public:
  ContextInUse(BoundedExecutionContext& context, xalanc::XPathEnvSupport& envSupport, xalanc::DOMSupport& domSupport,
               xalanc::XObjectFactory& objects, xalanc::XSLTEngineImpl& processor, TransformBudget& budget,
               DocumentFiles& documents)
      : context_(context) {
    context_.setXPathEnvSupport(&envSupport);
    context_.setDOMSupport(&domSupport);
    context_.setXObjectFactory(&objects);
    context_.setXSLTProcessor(&processor);
    context_.watch(&budget, &documents);
  }
  ~ContextInUse() {
    context_.watch(nullptr, nullptr);
    context_.reset();
    context_.setXPathEnvSupport(nullptr);
    context_.setDOMSupport(nullptr);
    context_.setXObjectFactory(nullptr);
    context_.setXSLTProcessor(nullptr);
  }
  ContextInUse(const ContextInUse&) = delete;
  ContextInUse& operator=(const ContextInUse&) = delete;

 private:
  BoundedExecutionContext& context_;
};

}  // namespace

BoundedTransformer::BoundedTransformer() : context_(std::make_unique<BoundedExecutionContext>(memory_)) {}

BoundedTransformer::~BoundedTransformer() = default;

bool BoundedTransformer::transform(const xalanc::XalanParsedSource& source,
                                   const xalanc::XalanCompiledStylesheet* stylesheet,
                                   const xalanc::XSLTResultTarget& target, TransformBudget& budget,
                                   const DocumentBounds& bounds) {
  lastError_.clear();
  // What Xalan-C reports as errors before it gives up.
  XalanDOMString problems(memory_);
  try {
    run(source, *stylesheet, target, budget, bounds, problems);
    // A step that swallowed the end of the transform let it run on to its end.
    if (budget.exceeded().empty()) return true;
    lastError_ = budget.exceeded();
    return false;
  } catch (const TransformBudget::Exceeded&) {
    lastError_ = budget.exceeded();
    return false;
  } catch (const xalanc::XSLException& error) {
    if (problems.empty()) error.defaultFormat(problems);
  } catch (const xercesc::SAXException& error) {
    if (problems.empty()) problems = error.getMessage();
  } catch (const xercesc::XMLException& error) {
    if (problems.empty()) problems = error.getMessage();
  } catch (const xalanc::XalanDOMException& error) {
    if (problems.empty()) lastError_ = "DOM exception " + std::to_string(error.getExceptionCode());
  }
  if (lastError_.empty()) lastError_ = narrow(problems);
  return false;
}

void BoundedTransformer::run(const xalanc::XalanParsedSource& source, const xalanc::XalanCompiledStylesheet& stylesheet,
                             const xalanc::XSLTResultTarget& target, TransformBudget& budget,
                             const DocumentBounds& bounds, XalanDOMString& problems) {
  xalanc::XalanDocument* const document = source.getDocument();
  const xalanc::XalanMemMgrAutoPtr<xalanc::XalanParsedSourceHelper> helper(memory_, source.createHelper(memory_));
  xalanc::DOMSupport& domSupport = helper->getDOMSupport();
  xalanc::XMLParserLiaison& liaison = helper->getParserLiaison();
  liaison.setExecutionContext(*context_);

  xalanc::XSLTProcessorEnvSupportDefault envSupport(memory_);
  const XalanDOMString& uri = source.getURI();
  if (!uri.empty()) envSupport.setSourceDocument(uri, document);
  xalanc::XObjectFactoryDefault objects(memory_);
  xalanc::XPathFactoryBlock paths(memory_);
  xalanc::XSLTEngineImpl processor(memory_, liaison, envSupport, domSupport, objects, paths);
  envSupport.setProcessor(&processor);

  // Declared before the context takes them: the trees outlive its reset.
  DocumentFiles documents(bounds, memory_);
  const ContextInUse inUse(*context_, envSupport, domSupport, objects, processor, budget, documents);

  xalanc::DOMStringPrintWriter errors(problems);
  TransformProblems listener(memory_, errors);
  processor.setProblemListener(&listener);

  xalanc::XSLTInputSource input(document, memory_);
  input.setSystemId(uri.c_str());
  xalanc::XSLTResultTarget output(target, memory_);
  context_->setStylesheetRoot(stylesheet.getStylesheetRoot());
  processor.process(input, output, *context_);
}

}  // namespace qrv::cim
