#include "provider/request/ResultTextFormatter.h"

#include <xalanc/XSLT/StylesheetRoot.hpp>
#include <xalanc/XalanTransformer/XalanCompiledStylesheet.hpp>

#include <cstddef>

#include "common/text/AsciiCase.h"

namespace qrv::cim {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char32_t combine(char32_t high, char32_t low) { return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00); }

// UTF-8 bytes gathered in a small buffer and appended to the text a block at a time.
class Utf8Appender {
 public:
  explicit Utf8Appender(std::string& text) : text_(text) {}
  ~Utf8Appender() { flush(); }
  Utf8Appender(const Utf8Appender&) = delete;
  Utf8Appender& operator=(const Utf8Appender&) = delete;

  void ascii(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }

  void codePoint(char32_t c) {
    if (used_ + 4 > sizeof buffer_) flush();
    if (c < 0x80) {
      buffer_[used_++] = static_cast<char>(c);
    } else if (c < 0x800) {
      put(0xC0 | (c >> 6));
      put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      put(0xE0 | (c >> 12));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | (c >> 18));
      put(0x80 | ((c >> 12) & 0x3F));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  }

 private:
  void put(char32_t byte) { buffer_[used_++] = static_cast<char>(byte); }

  void flush() {
    text_.append(buffer_, used_);
    used_ = 0;
  }

  std::string& text_;
  char buffer_[1024];
  std::size_t used_ = 0;
};

}  // namespace

ResultTextFormatter::ResultTextFormatter(std::string& text)
    : FormatterListener(OUTPUT_METHOD_TEXT), text_(text) {}

bool ResultTextFormatter::writesOutputOf(const xalanc::XalanCompiledStylesheet& stylesheet) {
  const xalanc::StylesheetRoot& root = *stylesheet.getStylesheetRoot();
  if (root.getOutputMethod() != OUTPUT_METHOD_TEXT) return false;
  xalanc::XalanDOMString encoding;
  root.getOutputEncoding(encoding);
  return encoding.empty() || text::equalsIgnoringAsciiCase(std::u16string_view(encoding.c_str(), encoding.size()), "UTF-8");
}

void ResultTextFormatter::characters(const XMLCh* const chars, const size_type length) { append(chars, length); }

// Raw text (disable-output-escaping) is text like any other in text output.
void ResultTextFormatter::charactersRaw(const XMLCh* const chars, const size_type length) { append(chars, length); }

void ResultTextFormatter::cdata(const XMLCh* const chars, const size_type length) { append(chars, length); }

void ResultTextFormatter::ignorableWhitespace(const XMLCh* const chars, const size_type length) {
  append(chars, length);
}

void ResultTextFormatter::endDocument() {
  if (ended_ || !pendingHigh_) return;
  Utf8Appender(text_).codePoint(kReplacement);
  pendingHigh_ = 0;
}

void ResultTextFormatter::append(const XMLCh* const chars, const size_type length) {
  if (ended_ || length == 0) return;
  Utf8Appender out(text_);
  size_type i = 0;
  if (pendingHigh_) {
    if (isLowSurrogate(chars[0])) {
      out.codePoint(combine(pendingHigh_, chars[0]));
      i = 1;
    } else {
      out.codePoint(kReplacement);
    }
    pendingHigh_ = 0;
  }
  for (; i < length; ++i) {
    char32_t unit = chars[i];
    if (unit == 0) {
      ended_ = true;
      return;
    }
    if (unit < 0x80) {
#if defined(XALAN_NEWLINE_IS_CRLF)
      // Xalan-C's text output ends lines with CR LF here: a line feed, or a
      // carriage return and line feed within one piece of text, becomes both.
      if (unit == '\r' && i + 1 < length && chars[i + 1] == '\n') unit = chars[++i];
      if (unit == '\n') out.ascii('\r');
#endif
      out.ascii(static_cast<char>(unit));
    } else if (isHighSurrogate(unit)) {
      if (i + 1 == length) {
        pendingHigh_ = static_cast<char16_t>(unit);  // its partner may start the next text
      } else if (isLowSurrogate(chars[i + 1])) {
        out.codePoint(combine(unit, chars[i + 1]));
        ++i;
      } else {
        out.codePoint(kReplacement);
      }
    } else {
      out.codePoint(isLowSurrogate(unit) ? kReplacement : unit);
    }
  }
}

}  // namespace qrv::cim
