#include "provider/request/text/NumberPattern.h"

#include <cstddef>

namespace qrv::cim {

namespace {

constexpr char16_t kQuote = u'\'';

// One subpattern as read: its affixes and the digits of its number part.
struct Subpattern {
  std::u16string prefix;
  std::u16string suffix;
  int multiplier = 1;
  int integerDigits = 0;
  int integerZeros = 0;
  int fractionZeros = 0;
  int fractionDigits = 0;
  bool grouped = false;
  int digitsSinceGrouping = 0;
  bool decimalSeparator = false;
  // Ended at a pattern separator, so another subpattern follows.
  bool separated = false;
};

enum class Part { Prefix, Integer, Fraction, Suffix };

// Reads a pattern from its first character to its end, a subpattern at a time.
class PatternReader {
 public:
  PatternReader(std::u16string_view text, const DecimalSymbols& symbols, std::string& error)
      : text_(text), symbols_(symbols), error_(error) {}

  // Reads the next subpattern, up to and past a pattern separator or to the end.
  bool read(Subpattern& sub) {
    part_ = Part::Prefix;
    while (at_ < text_.size()) {
      const char16_t c = text_[at_];
      const bool read = part_ == Part::Integer    ? integer(c, sub)
                        : part_ == Part::Fraction ? fraction(c, sub)
                                                  : affix(c, sub);
      if (!read) return false;
      if (sub.separated) return true;
    }
    return true;
  }

 private:
  bool numberCharacter(char16_t c) const {
    return c == symbols_.digit || c == symbols_.zeroDigit || c == symbols_.groupingSeparator ||
           c == symbols_.decimalSeparator;
  }

  bool fail(const char* why) {
    error_ = why;
    return false;
  }

  // A character of the prefix or the suffix.
  bool affix(char16_t c, Subpattern& sub) {
    if (c == symbols_.patternSeparator) {
      ++at_;
      sub.separated = true;
      return true;
    }
    if (numberCharacter(c)) {
      if (part_ == Part::Suffix) return fail("a digit or separator stands in the suffix");
      part_ = Part::Integer;
      return true;
    }
    std::u16string& text = part_ == Part::Prefix ? sub.prefix : sub.suffix;
    if (c == kQuote) return quoted(text);
    if (c == symbols_.percent || c == symbols_.perMille) {
      if (sub.multiplier != 1) return fail("it has two percent or per-mille signs");
      sub.multiplier = c == symbols_.percent ? 100 : 1000;
    }
    text += c;
    ++at_;
    return true;
  }

  // A quoted text in an affix, the quote at `at_`; two quotes stand for one,
  // inside a quoted text or outside.
  bool quoted(std::u16string& text) {
    if (at_ + 1 < text_.size() && text_[at_ + 1] == kQuote) {
      text += kQuote;
      at_ += 2;
      return true;
    }
    for (++at_; at_ < text_.size(); ++at_) {
      if (text_[at_] != kQuote) {
        text += text_[at_];
      } else if (at_ + 1 < text_.size() && text_[at_ + 1] == kQuote) {
        text += kQuote;
        ++at_;
      } else {
        ++at_;
        return true;
      }
    }
    return fail("a quote is not closed");
  }

  bool integer(char16_t c, Subpattern& sub) {
    if (c == symbols_.digit || c == symbols_.zeroDigit) {
      if (c == symbols_.zeroDigit) {
        ++sub.integerZeros;
      } else if (sub.integerZeros > 0) {
        return fail("an optional digit follows a zero digit");
      } else {
        ++sub.integerDigits;
      }
      ++sub.digitsSinceGrouping;
    } else if (c == symbols_.groupingSeparator) {
      sub.grouped = true;
      sub.digitsSinceGrouping = 0;
    } else if (c == symbols_.decimalSeparator) {
      sub.decimalSeparator = true;
      part_ = Part::Fraction;
    } else {
      part_ = Part::Suffix;
      return true;
    }
    ++at_;
    return true;
  }

  bool fraction(char16_t c, Subpattern& sub) {
    if (c == symbols_.zeroDigit) {
      if (sub.fractionDigits > 0) return fail("a zero digit follows an optional digit in the fraction");
      ++sub.fractionZeros;
    } else if (c == symbols_.digit) {
      ++sub.fractionDigits;
    } else if (c == symbols_.groupingSeparator || c == symbols_.decimalSeparator) {
      return fail("a separator follows the decimal separator");
    } else {
      part_ = Part::Suffix;
      return true;
    }
    ++at_;
    return true;
  }

  std::u16string_view text_;
  const DecimalSymbols& symbols_;
  std::string& error_;
  std::size_t at_ = 0;
  Part part_ = Part::Prefix;
};

// The pattern that the positive subpattern describes.
NumberPattern positivePattern(const Subpattern& sub, const DecimalSymbols& symbols) {
  NumberPattern pattern;
  pattern.positivePrefix = sub.prefix;
  pattern.positiveSuffix = sub.suffix;
  pattern.negativePrefix = symbols.minusSign + sub.prefix;
  pattern.negativeSuffix = sub.suffix;
  pattern.multiplier = sub.multiplier;
  pattern.minimumIntegerDigits = sub.integerZeros;
  pattern.minimumFractionDigits = sub.fractionZeros;
  pattern.maximumFractionDigits = sub.fractionZeros + sub.fractionDigits;
  // ".#" has one fraction digit at least, as ".0".
  if (sub.integerDigits + sub.integerZeros + sub.fractionZeros == 0 && sub.fractionDigits > 0) {
    pattern.minimumFractionDigits = 1;
  }
  pattern.groupingSize = sub.grouped ? sub.digitsSinceGrouping : 0;
  pattern.decimalSeparatorAlwaysShown = sub.decimalSeparator && pattern.maximumFractionDigits == 0;
  return pattern;
}

}  // namespace

std::optional<NumberPattern> parseNumberPattern(std::u16string_view text, const DecimalSymbols& symbols,
                                                std::string& error) {
  if (text.empty()) {
    error = "the pattern is empty";
    return std::nullopt;
  }
  PatternReader reader(text, symbols, error);
  Subpattern positive;
  if (!reader.read(positive)) return std::nullopt;
  NumberPattern pattern = positivePattern(positive, symbols);
  if (!positive.separated) return pattern;
  // Of a negative subpattern only the affixes count.
  Subpattern negative;
  if (!reader.read(negative)) return std::nullopt;
  if (negative.separated) {
    error = "it has more than two subpatterns";
    return std::nullopt;
  }
  pattern.negativePrefix = negative.prefix;
  pattern.negativeSuffix = negative.suffix;
  if (pattern.multiplier == 1) pattern.multiplier = negative.multiplier;
  return pattern;
}

}  // namespace qrv::cim
