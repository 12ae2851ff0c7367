#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/XalanDecimalFormatSymbols.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace qrv::cim {

// format-number() for Xalan-C: `number` written by `pattern` with the
// symbols of an xsl:decimal-format (null: the defaults), appended to
// `result` (formatNumber does the work). An invalid pattern ends the
// transform with an XPath error that names it and says why.
void formatXalanNumber(xalanc::XPathExecutionContext& context, double number, const xalanc::XalanDOMString& pattern,
                       const xalanc::XalanDecimalFormatSymbols* symbols, xalanc::XalanDOMString& result,
                       const xalanc::Locator* locator);

}  // namespace qrv::cim
