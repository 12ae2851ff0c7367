#pragma once
// Reading numbers and booleans from the text that a client puts into a
// property. Blanks around the text are allowed, as in OLE automation's
// coercion from text that WMI applies.

#include <cstdint>
#include <optional>
#include <string_view>

namespace wmihost {

struct WholeNumber {
  bool negative = false;
  std::uint64_t magnitude = 0;
};

// A decimal integer with an optional sign. Fractions, exponents, hexadecimal
// and values beyond 64 bits give none.
std::optional<WholeNumber> parseWholeNumber(std::string_view text);

// A decimal real: optional sign, digits with an optional fraction, an
// optional exponent. Infinities, NaN, hexadecimal and values beyond the
// range of a double give none.
std::optional<double> parseReal(std::string_view text);

// TRUE or FALSE in any case, or a whole number: zero is false, any other
// value true, as in OLE automation's coercion of text to a boolean.
std::optional<bool> parseBoolean(std::string_view text);

}  // namespace wmihost
