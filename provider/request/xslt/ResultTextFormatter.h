#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/FormatterListener.hpp>

#include <cstddef>
#include <string>

namespace XALAN_CPP_NAMESPACE {
class XalanCompiledStylesheet;
}

namespace qrv::cim {

// Writes the output of a stylesheet whose output is UTF-8 text straight into
// the result text, as Xalan-C's own text output would write it through an
// output stream: the characters of text, CDATA and raw text as UTF-8, line
// feeds as this platform's line end, and nothing for elements, comments and
// processing instructions. The text ends before the first zero character.
//
// A surrogate without its partner becomes U+FFFD.
class ResultTextFormatter : public xalanc::FormatterListener {
 public:
  // Appends to `text`, all of it by the time the formatter is destroyed.
  explicit ResultTextFormatter(std::string& text);
  ~ResultTextFormatter() override;

  // Whether the stylesheet's output is text in UTF-8 (named so, or left to
  // the default), which this formatter writes.
  static bool writesOutputOf(const xalanc::XalanCompiledStylesheet& stylesheet);

  void characters(const XMLCh* const chars, const size_type length) override;
  void charactersRaw(const XMLCh* const chars, const size_type length) override;
  void cdata(const XMLCh* const chars, const size_type length) override;
  void ignorableWhitespace(const XMLCh* const chars, const size_type length) override;
  void endDocument() override;

  void comment(const XMLCh* const) override {}
  void entityReference(const XMLCh* const) override {}
  void processingInstruction(const XMLCh* const, const XMLCh* const) override {}
  void resetDocument() override {}
  void setDocumentLocator(const xalanc::Locator* const) override {}
  void startDocument() override {}
  void startElement(const XMLCh* const, xalanc::AttributeList&) override {}
  void endElement(const XMLCh* const) override {}

 private:
  void append(const XMLCh* chars, size_type length);
  // Appends what the buffer holds to the text.
  void flush();

  std::string& text_;
  // UTF-8 not yet appended; a character is written while the buffer holds
  // at most kRoomBefore bytes, so that the longest (CR LF, or four bytes of
  // UTF-8) fits.
  static constexpr std::size_t kBufferSize = 4096;
  static constexpr std::size_t kRoomBefore = kBufferSize - 4;
  char buffer_[kBufferSize];
  std::size_t used_ = 0;
  char16_t pendingHigh_ = 0;  // a high surrogate at the end of the last characters, awaiting its partner
  bool ended_ = false;        // a zero character was written
};

}  // namespace qrv::cim
