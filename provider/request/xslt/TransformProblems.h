#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/ProblemListenerDefault.hpp>

namespace qrv::cim {

// Where the problems of a transform go: errors to `errors`, the reason a
// failed request gives; warnings and what the stylesheet says with
// xsl:message as one diagnostic line each, cut after kMaxLine characters.
// (Xalan-C's own transformer writes the latter to the standard error
// stream, which in a provider belongs to its host.)
class TransformProblems : public xalanc::ProblemListenerDefault {
 public:
  static constexpr std::size_t kMaxLine = 4096;

  TransformProblems(xalanc::MemoryManager& memory, xalanc::PrintWriter& errors);

  void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
               const xalanc::Locator* locator, const xalanc::XalanNode* sourceNode) override;
  void problem(eSource source, eClassification classification, const xalanc::XalanDOMString& msg,
               const xalanc::XalanNode* sourceNode) override;
  void problem(eSource source, eClassification classification, const xalanc::XalanNode* sourceNode,
               const xalanc::ElemTemplateElement* styleNode, const xalanc::XalanDOMString& msg,
               const xalanc::XalanDOMChar* uri, xalanc::XalanFileLoc lineNo, xalanc::XalanFileLoc charOffset) override;

 private:
  // Writes what `format` prints as a diagnostic line, if anyone listens.
  template <class Format>
  void tell(Format format);

  xalanc::MemoryManager& memory_;
};

}  // namespace qrv::cim
