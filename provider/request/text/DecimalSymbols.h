#pragma once

#include <string>

namespace qrv::cim {

// The characters and texts that an xsl:decimal-format declares, with the
// defaults of an undeclared one: what a number pattern is read with and
// what a formatted number is written with.
struct DecimalSymbols {
  char16_t decimalSeparator = u'.';
  char16_t groupingSeparator = u',';
  char16_t percent = u'%';
  char16_t perMille = u'\u2030';
  char16_t zeroDigit = u'0';
  char16_t digit = u'#';
  char16_t patternSeparator = u';';
  char16_t minusSign = u'-';
  std::u16string infinity = u"Infinity";
  std::u16string notANumber = u"NaN";
};

}  // namespace qrv::cim
