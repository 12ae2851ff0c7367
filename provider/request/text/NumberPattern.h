#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "provider/request/text/DecimalSymbols.h"

namespace qrv::cim {

// A format-number() pattern read: what a number is written with, in the
// terms of the JDK 1.1 DecimalFormat patterns that XSLT 1.0 takes. The
// negative affixes are the negative subpattern's, or the minus sign before
// the positive prefix where there is none.
struct NumberPattern {
  std::u16string positivePrefix;
  std::u16string positiveSuffix;
  std::u16string negativePrefix;
  std::u16string negativeSuffix;
  // 100 for a percent sign in an affix, 1000 for a per-mille sign, else 1.
  int multiplier = 1;
  int minimumIntegerDigits = 0;
  int minimumFractionDigits = 0;
  int maximumFractionDigits = 0;
  // Digits between two grouping separators; 0 for none.
  int groupingSize = 0;
  // A decimal separator with no fraction digits after it ("0.").
  bool decimalSeparatorAlwaysShown = false;
};

// Reads `text` with the special characters of `symbols`, in one pass. An
// invalid pattern (empty, a digit after a zero in the integer part or a zero
// after a digit in the fraction, a second decimal separator, a digit or
// separator in a suffix, two percent or per-mille signs, a third
// subpattern, an unclosed quote) gives nothing, and `error` says why.
std::optional<NumberPattern> parseNumberPattern(std::u16string_view text, const DecimalSymbols& symbols,
                                                std::string& error);

}  // namespace qrv::cim
