// format-number()'s patterns: the input is a double (its first 8 bytes) and
// a pattern in UTF-16 (the rest, two bytes a unit). A pattern is read or
// refused with a reason, and a number written by a read one stands between
// the affixes of its sign.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "provider/request/text/FormatNumber.h"
#include "provider/request/text/NumberPattern.h"

namespace {

bool startsWith(const std::u16string& text, const std::u16string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool endsWith(const std::u16string& text, const std::u16string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double value = 0;
  if (size < sizeof(value)) return 0;
  std::memcpy(&value, data, sizeof(value));
  std::u16string text;
  for (std::size_t i = sizeof(value); i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);

  const qrv::cim::DecimalSymbols symbols;
  std::string error;
  const std::optional<qrv::cim::NumberPattern> pattern = qrv::cim::parseNumberPattern(text, symbols, error);
  QRV_FUZZ_CHECK(pattern.has_value() == error.empty());
  if (!pattern) return 0;
  const std::u16string written = qrv::cim::formatNumber(value, *pattern, symbols);
  if (std::isnan(value)) {
    QRV_FUZZ_CHECK(written == symbols.notANumber);
  } else if (std::isfinite(value * pattern->multiplier)) {
    const bool negative = value < 0;
    QRV_FUZZ_CHECK(startsWith(written, negative ? pattern->negativePrefix : pattern->positivePrefix));
    QRV_FUZZ_CHECK(endsWith(written, negative ? pattern->negativeSuffix : pattern->positiveSuffix));
  }
  return 0;
}
