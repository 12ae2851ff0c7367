#include "provider/wmi/CimDateTime.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "common/com/Variant.h"

namespace qrv::cim {

using com::WideTextView;
using com::assignText;
using com::toWide;

namespace {

const std::string kIntervalPrefix = "interval:";
const std::string kAbsolutePrefix = "absolute:";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The number at the start of `text` as atoi reads it (leading blanks, an
// optional sign, digits up to the first other character, 0 without digits),
// saturated at the ends of the 32-bit range.
int32_t leadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude >= limit) {
      magnitude = limit;
      break;
    }
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

// The value's text after a prefix, when it starts with `prefix` and its last
// colon is not its last character; otherwise false.
bool textAfterPrefix(const std::string& text, const std::string& prefix, std::string* rest) {
  if (text.compare(0, prefix.size(), prefix) != 0) return false;
  const size_t colon = text.rfind(':');
  if (colon + 1 == text.size()) return false;
  *rest = text.substr(colon + 1);
  return true;
}

// Writes value in decimal at `at` as printf's "%0<width>d" writes it: padded
// with zeros to width characters, a minus sign counting towards them.
// Returns the end of what it wrote.
WCHAR* writePadded(WCHAR* at, int64_t value, int width) {
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    *at++ = WCHAR('-');
    magnitude = 0 - magnitude;
    --width;
  }
  int digits = 1;
  for (uint64_t rest = magnitude / 10; rest != 0; rest /= 10) ++digits;
  if (digits < width) at = std::fill_n(at, width - digits, WCHAR('0'));
  WCHAR* const end = at + digits;
  for (WCHAR* digit = end; digit != at; magnitude /= 10) *--digit = static_cast<WCHAR>('0' + magnitude % 10);
  return end;
}

// The date-time text of the fields, each two digits wide after the first,
// followed by suffix.
void assignFields(VARIANT* out, int64_t first, int firstWidth, std::initializer_list<int64_t> twoDigitFields,
                  const char* suffix) {
  // 25 characters, or a few more for an interval with minus signs.
  WCHAR text[32];
  WCHAR* end = writePadded(text, first, firstWidth);
  for (int64_t field : twoDigitFields) end = writePadded(end, field, 2);
  while (*suffix) *end++ = static_cast<WCHAR>(*suffix++);
  assignText(out, WideTextView(text, static_cast<size_t>(end - text)));
}

void assignInterval(VARIANT* out, int32_t seconds) {
  const int32_t days = seconds / 86400;
  const int32_t dayRest = seconds % 86400;
  const int32_t hourRest = dayRest % 3600;
  assignFields(out, days, 8, {dayRest / 3600, hourRest / 60, hourRest % 60}, ".000000:000");
}

// Seconds since 1970-01-01 00:00:00 UTC (not negative) as a UTC date-time.
void assignEpochSeconds(VARIANT* out, int64_t seconds) {
  const int64_t daysSinceEpoch = seconds / 86400;
  const int64_t secondOfDay = seconds % 86400;
  // Civil date from a day count, with years starting on 1 March so that the
  // leap day comes last.
  const int64_t dayOfEra = daysSinceEpoch + 719468;  // days since 0000-03-01, within one 400-year era
  const int64_t era = dayOfEra / 146097;
  const int64_t day = dayOfEra - era * 146097;
  const int64_t yearOfEra = (day - day / 1460 + day / 36524 - day / 146096) / 365;
  const int64_t dayOfYear = day - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t dayOfMonth = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  // The year has four digits, from 1970 on.
  assignFields(out, year, 4, {month, dayOfMonth, secondOfDay / 3600, secondOfDay % 3600 / 60, secondOfDay % 60},
               ".000000-000");
}

}  // namespace

HRESULT toCimDateTime(VARIANT* out, const std::string& text) {
  std::string rest;
  if (textAfterPrefix(text, kIntervalPrefix, &rest)) {
    assignInterval(out, leadingNumber(rest));
  } else if (textAfterPrefix(text, kAbsolutePrefix, &rest)) {
    assignText(out, toWide(rest));
  } else {
    const int64_t seconds = leadingNumber(text);
    if (seconds >= 0) assignEpochSeconds(out, seconds);
  }
  return S_OK;
}

}  // namespace qrv::cim
