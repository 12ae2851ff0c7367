#include "provider/request/xslt/TransformProblems.h"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>

#include <string>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/request/xslt/XalanText.h"

namespace qrv::cim {

TransformProblems::TransformProblems(xalanc::MemoryManager& memory, xalanc::PrintWriter& errors)
    : ProblemListenerDefault(memory, &errors), memory_(memory) {}

template <class Format>
void TransformProblems::tell(Format format) {
  if (!diagnosticsWanted()) return;
  xalanc::XalanDOMString text(memory_);
  xalanc::DOMStringPrintWriter writer(text);
  format(writer);
  std::string line = singleLine(narrow(text));
  if (line.size() > kMaxLine) line.replace(kMaxLine, std::string::npos, " ...");
  writeDiagnostic(line);
}

void TransformProblems::problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                                const xalanc::Locator* locator, const xalanc::XalanNode* sourceNode) {
  if (classification == eERROR) {
    ProblemListenerDefault::problem(source, classification, msg, locator, sourceNode);
    return;
  }
  tell([&](xalanc::PrintWriter& writer) { defaultFormat(writer, source, classification, msg, locator, sourceNode); });
}

void TransformProblems::problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
                                const xalanc::XalanNode* sourceNode) {
  if (classification == eERROR) {
    ProblemListenerDefault::problem(source, classification, msg, sourceNode);
    return;
  }
  tell([&](xalanc::PrintWriter& writer) { defaultFormat(writer, source, classification, msg, sourceNode); });
}

void TransformProblems::problem(eSource source, eClassification classification, const xalanc::XalanNode* sourceNode,
                                const xalanc::ElemTemplateElement* styleNode, const xalanc::XalanDOMString& msg,
                                const xalanc::XalanDOMChar* uri, xalanc::XalanFileLoc lineNo,
                                xalanc::XalanFileLoc charOffset) {
  if (classification == eERROR) {
    ProblemListenerDefault::problem(source, classification, sourceNode, styleNode, msg, uri, lineNo, charOffset);
    return;
  }
  tell([&](xalanc::PrintWriter& writer) {
    defaultFormat(writer, source, classification, sourceNode, styleNode, msg, uri, lineNo, charOffset);
  });
}

}  // namespace qrv::cim
