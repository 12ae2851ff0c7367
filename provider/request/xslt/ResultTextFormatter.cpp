#include "provider/request/xslt/ResultTextFormatter.h"

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

// Writes `c` as UTF-8 at `out` (room for four bytes) and returns the end.
char* encodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

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
  flush();
  if (!ended_ && pendingHigh_) {
    used_ = static_cast<std::size_t>(encodeUtf8(kReplacement, buffer_) - buffer_);
    pendingHigh_ = 0;
  }
  flush();
}

ResultTextFormatter::~ResultTextFormatter() { flush(); }

void ResultTextFormatter::flush() {
  text_.append(buffer_, used_);
  used_ = 0;
}

void ResultTextFormatter::append(const XMLCh* const chars, const size_type length) {
  if (ended_ || length == 0) return;
  // Each character is written at `out` once the buffer has room for it.
  if (used_ > kRoomBefore) flush();
  char* out = buffer_ + used_;
  size_type i = 0;
  if (pendingHigh_) {
    const bool paired = isLowSurrogate(chars[0]);
    out = encodeUtf8(paired ? combine(pendingHigh_, chars[0]) : kReplacement, out);
    i = paired ? 1 : 0;
    pendingHigh_ = 0;
  }
  for (; i < length; ++i) {
    if (out > buffer_ + kRoomBefore) {
      used_ = static_cast<std::size_t>(out - buffer_);
      flush();
      out = buffer_;
    }
    char32_t unit = chars[i];
    if (unit == 0) {
      ended_ = true;
      break;
    }
    if (unit < 0x80) {
#if defined(XALAN_NEWLINE_IS_CRLF)
      // Xalan-C's text output ends lines with CR LF here: a line feed, or a
      // carriage return and line feed within one piece of text, becomes both.
      if (unit == '\r' && i + 1 < length && chars[i + 1] == '\n') unit = chars[++i];
      if (unit == '\n') *out++ = '\r';
#endif
      *out++ = static_cast<char>(unit);
    } else if (isHighSurrogate(unit)) {
      if (i + 1 == length) {
        pendingHigh_ = static_cast<char16_t>(unit);  // its partner may start the next text
      } else if (isLowSurrogate(chars[i + 1])) {
        out = encodeUtf8(combine(unit, chars[i + 1]), out);
        ++i;
      } else {
        out = encodeUtf8(kReplacement, out);
      }
    } else {
      out = encodeUtf8(isLowSurrogate(unit) ? kReplacement : unit, out);
    }
  }
  used_ = static_cast<std::size_t>(out - buffer_);
}

}  // namespace qrv::cim
