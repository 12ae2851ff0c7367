#include "provider/request/text/FormatNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>

namespace qrv::cim {

namespace {

// Powers of ten up to this one are exact doubles.
constexpr int kMostExactPowerOfTen = 22;
// Fraction digits beyond these are zero for every double.
constexpr int kMostFractionDigits = 340;

// The decimal digits of a number: those of its integer part (none for
// zero) and its fraction digits.
struct Digits {
  std::string integer;
  std::string fraction;
};

// The digits of std::to_chars in fixed notation with `precision` fraction digits.
std::string fixedText(double value, int precision) {
  // 309 integer digits at most, the point and the fraction.
  std::string text(312 + static_cast<std::size_t>(precision), '\0');
  const std::to_chars_result end =
      std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, precision);
  text.resize(static_cast<std::size_t>(end.ptr - text.data()));
  return text;
}

// `value` (not negative, finite) rounded to `places` fraction digits. The
// way xsltproc rounds: the value times the power of ten, plus one half,
// floored, in double arithmetic; past the exact powers of ten, or where that
// product overflows, the exact decimal value rounded.
Digits roundedDigits(double value, int places) {
  double scale = 1;
  for (int i = 0; i < places && i < kMostExactPowerOfTen; ++i) scale *= 10;
  const double scaled = value * scale;
  std::string text;
  if (places <= kMostExactPowerOfTen && std::isfinite(scaled)) {
    text = fixedText(std::floor(scaled + 0.5), 0);
    if (text.size() <= static_cast<std::size_t>(places)) text.insert(0, places + 1 - text.size(), '0');
    text.insert(text.size() - places, 1, '.');
  } else {
    text = fixedText(value, std::min(places, kMostFractionDigits));
  }
  const std::size_t point = text.find('.');
  Digits digits;
  digits.integer = text.substr(0, point);
  if (point != std::string::npos) digits.fraction = text.substr(point + 1);
  digits.integer.erase(0, digits.integer.find_first_not_of('0'));
  return digits;
}

// Appends `digits` in the symbols' digits, grouped from the right every `groupingSize`.
void appendDigits(const std::string& digits, int groupingSize, const DecimalSymbols& symbols, std::u16string& text) {
  const std::size_t count = digits.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (groupingSize > 0 && i > 0 && (count - i) % static_cast<std::size_t>(groupingSize) == 0) {
      text += symbols.groupingSeparator;
    }
    text += static_cast<char16_t>(symbols.zeroDigit + (digits[i] - '0'));
  }
}

// Appends the number part of `value` (not negative, finite).
void appendNumber(double value, const NumberPattern& pattern, const DecimalSymbols& symbols, std::u16string& text) {
  Digits digits = roundedDigits(value, pattern.maximumFractionDigits);
  const std::size_t minimumIntegers = static_cast<std::size_t>(pattern.minimumIntegerDigits);
  const std::size_t minimumFractions = static_cast<std::size_t>(pattern.minimumFractionDigits);
  if (digits.integer.size() < minimumIntegers) digits.integer.insert(0, minimumIntegers - digits.integer.size(), '0');
  // A zero below one with no digit the pattern requires.
  if (digits.integer.empty() && minimumFractions == 0) digits.integer = "0";
  while (digits.fraction.size() > minimumFractions && digits.fraction.back() == '0') digits.fraction.pop_back();
  if (digits.fraction.size() < minimumFractions) digits.fraction.append(minimumFractions - digits.fraction.size(), '0');
  appendDigits(digits.integer, pattern.groupingSize, symbols, text);
  if (!digits.fraction.empty() || pattern.decimalSeparatorAlwaysShown) text += symbols.decimalSeparator;
  appendDigits(digits.fraction, 0, symbols, text);
}

}  // namespace

std::u16string formatNumber(double value, const NumberPattern& pattern, const DecimalSymbols& symbols) {
  if (std::isnan(value)) return symbols.notANumber;
  const bool negative = value < 0;
  const double scaled = std::fabs(value) * pattern.multiplier;
  if (std::isinf(scaled)) return negative ? symbols.minusSign + symbols.infinity : symbols.infinity;
  std::u16string text = negative ? pattern.negativePrefix : pattern.positivePrefix;
  appendNumber(scaled, pattern, symbols, text);
  text += negative ? pattern.negativeSuffix : pattern.positiveSuffix;
  return text;
}

}  // namespace qrv::cim
