#include "provider/request/xslt/XalanFormatNumber.h"

#include <xalanc/XPath/XalanXPathException.hpp>

#include <optional>
#include <string>

#include "provider/request/text/DecimalSymbols.h"
#include "provider/request/text/FormatNumber.h"
#include "provider/request/text/NumberPattern.h"
#include "provider/request/xslt/XalanText.h"

namespace qrv::cim {

namespace {

std::u16string utf16(const xalanc::XalanDOMString& text) {
  std::u16string units;
  units.reserve(text.length());
  for (const xalanc::XalanDOMChar unit : text) units += static_cast<char16_t>(unit);
  return units;
}

DecimalSymbols decimalSymbols(const xalanc::XalanDecimalFormatSymbols* declared) {
  DecimalSymbols symbols;
  if (!declared) return symbols;
  symbols.decimalSeparator = static_cast<char16_t>(declared->getDecimalSeparator());
  symbols.groupingSeparator = static_cast<char16_t>(declared->getGroupingSeparator());
  symbols.percent = static_cast<char16_t>(declared->getPercent());
  symbols.perMille = static_cast<char16_t>(declared->getPerMill());
  symbols.zeroDigit = static_cast<char16_t>(declared->getZeroDigit());
  symbols.digit = static_cast<char16_t>(declared->getDigit());
  symbols.patternSeparator = static_cast<char16_t>(declared->getPatternSeparator());
  symbols.minusSign = static_cast<char16_t>(declared->getMinusSign());
  symbols.infinity = utf16(declared->getInfinity());
  symbols.notANumber = utf16(declared->getNaN());
  return symbols;
}

}  // namespace

void formatXalanNumber(xalanc::XPathExecutionContext& context, double number, const xalanc::XalanDOMString& pattern,
                       const xalanc::XalanDecimalFormatSymbols* symbols, xalanc::XalanDOMString& result,
                       const xalanc::Locator* locator) {
  const DecimalSymbols decimal = decimalSymbols(symbols);
  std::string error;
  const std::optional<NumberPattern> read = parseNumberPattern(utf16(pattern), decimal, error);
  if (!read) {
    const std::string message = "format-number(): the pattern '" + narrow(pattern) + "' is invalid: " + error;
    throw xalanc::XalanXPathException(xalanc::XalanDOMString(message.c_str(), context.getMemoryManager()),
                                      context.getMemoryManager(), locator);
  }
  for (const char16_t unit : formatNumber(number, *read, decimal)) {
    result.push_back(static_cast<xalanc::XalanDOMChar>(unit));
  }
}

}  // namespace qrv::cim
