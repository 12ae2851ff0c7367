#pragma once

#include <string>

#include "provider/request/text/DecimalSymbols.h"
#include "provider/request/text/NumberPattern.h"

namespace qrv::cim {

// XSLT's format-number(): `value` written by `pattern` with `symbols`.
// Not-a-number is the NaN text alone and an infinity the infinity text,
// after the minus sign when negative; other numbers are multiplied for a
// percent or per-mille pattern and rounded to the pattern's most fraction
// digits, halves away from zero, as xsltproc does. A negative number that
// rounds to zero keeps the negative affixes ("-0.00"); negative zero is
// written as zero.
std::u16string formatNumber(double value, const NumberPattern& pattern, const DecimalSymbols& symbols);

}  // namespace qrv::cim
