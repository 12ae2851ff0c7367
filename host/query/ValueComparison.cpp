#include "host/query/ValueComparison.h"

#include "host/cim/CimDateTimeSyntax.h"
#include "host/cim/CimText.h"
#include "host/cim/CimTypes.h"
#include "common/com/TextConversion.h"
#include "host/query/CaseFold.h"
#include "host/query/QueryError.h"
#include "host/query/WqlDate.h"

namespace wmihost {

using qrv::com::toUtf8;
using qrv::com::toWide;

namespace {

bool isIntegerType(CIMTYPE type) {
  switch (type) {
    case CIM_SINT8:
    case CIM_UINT8:
    case CIM_SINT16:
    case CIM_UINT16:
    case CIM_SINT32:
    case CIM_UINT32:
    case CIM_SINT64:
    case CIM_UINT64:
      return true;
    default:
      return false;
  }
}

bool isTextType(CIMTYPE type) { return type == CIM_STRING || type == CIM_REFERENCE || type == CIM_CHAR16; }

qrv::com::WideTextView bstrText(const VARIANT& stored) {
  return qrv::com::WideTextView(stored.bstrVal, SysStringLen(stored.bstrVal));
}

WholeNumber signedNumber(std::int64_t value) {
  return {value < 0, value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value)};
}

// A stored integer of the CIM type as sign and magnitude; see storedVarType
// for the VARIANT that holds each type.
std::optional<WholeNumber> storedInteger(CIMTYPE type, const VARIANT& stored) {
  switch (type) {
    case CIM_UINT8:
      return WholeNumber{false, stored.bVal};
    case CIM_SINT8:
    case CIM_SINT16:
      return signedNumber(stored.iVal);
    case CIM_UINT32:
      return WholeNumber{false, static_cast<std::uint32_t>(stored.lVal)};
    case CIM_UINT16:
    case CIM_SINT32:
      return signedNumber(stored.lVal);
    default:
      return parseWholeNumber(toUtf8(bstrText(stored)));
  }
}

double toDouble(const WholeNumber& number) {
  const double magnitude = static_cast<double>(number.magnitude);
  return number.negative ? -magnitude : magnitude;
}

std::optional<double> storedReal(CIMTYPE type, const VARIANT& stored) {
  if (type == CIM_REAL32) return stored.fltVal;
  if (type == CIM_REAL64) return stored.dblVal;
  const auto integer = storedInteger(type, stored);
  return integer ? std::optional<double>(toDouble(*integer)) : std::nullopt;
}

template <typename T>
int order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int orderOfNumbers(const WholeNumber& a, const WholeNumber& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  const int magnitudes = order(a.magnitude, b.magnitude);
  return a.negative ? -magnitudes : magnitudes;
}

bool holds(WqlOperator op, int order) {
  switch (op) {
    case WqlOperator::Equal:
      return order == 0;
    case WqlOperator::NotEqual:
      return order != 0;
    case WqlOperator::Less:
      return order < 0;
    case WqlOperator::LessOrEqual:
      return order <= 0;
    case WqlOperator::Greater:
      return order > 0;
    default:
      return order >= 0;
  }
}

std::string typeText(const PropertyDefinition& property) {
  const std::string type = mofTypeName(scalarOf(property.type), property.referencedClass);
  return property.name + " is " + (isArray(property.type) ? "an array of " : type == "object" ? "an " : "a ") + type;
}

[[noreturn]] void unsuitable(const PropertyDefinition& property, const WqlLiteral& value, const std::string& need) {
  throw QueryError(value.position, typeText(property) + ": compare it with " + need);
}

// Days from 0000-03-01 to the date, in the proleptic Gregorian calendar.
std::int64_t daysOf(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = y / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  return static_cast<std::int64_t>(era) * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

int digitsAt(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value * 10 + (text[at + i] - '0');
  return value;
}

}  // namespace

ValueComparison::ValueComparison(const PropertyDefinition& property, WqlOperator op, const WqlLiteral& value)
    : type_(property.type), op_(op) {
  if (isArray(property.type) || property.type == CIM_OBJECT) {
    throw QueryError(value.position, typeText(property) + ": only IS NULL and IS NOT NULL apply to it");
  }
  if (op == WqlOperator::Like) {
    if (!isTextType(type_) && type_ != CIM_DATETIME) unsuitable(property, value, "=, <, >, ... but not LIKE");
    pattern_ = std::make_shared<const LikePattern>(toWide(value.text), value.position);
    return;
  }
  if (isIntegerType(type_) || type_ == CIM_REAL32 || type_ == CIM_REAL64) {
    prepareNumber(property, value);
  } else if (type_ == CIM_BOOLEAN) {
    prepareBoolean(property, value);
  } else if (type_ == CIM_DATETIME) {
    prepareDateTime(property, value);
  } else {
    if (value.kind != WqlLiteral::Kind::String) unsuitable(property, value, "a quoted string");
    text_ = foldCase(toWide(value.text));
  }
}

void ValueComparison::prepareNumber(const PropertyDefinition& property, const WqlLiteral& value) {
  std::optional<WholeNumber> integer;
  std::optional<double> real;
  if (value.kind == WqlLiteral::Kind::Integer) integer = value.integer;
  if (value.kind == WqlLiteral::Kind::Real) real = value.real;
  if (value.kind == WqlLiteral::Kind::String) {
    integer = parseWholeNumber(value.text);
    if (!integer) real = parseReal(value.text);
  }
  if (integer && isIntegerType(type_)) {
    family_ = Family::Integer;
    integer_ = *integer;
    return;
  }
  if (!integer && !real) unsuitable(property, value, "a number");
  family_ = Family::Real;
  real_ = integer ? toDouble(*integer) : *real;
}

void ValueComparison::prepareBoolean(const PropertyDefinition& property, const WqlLiteral& value) {
  family_ = Family::Boolean;
  if (value.kind == WqlLiteral::Kind::Boolean) {
    boolean_ = value.boolean;
  } else if (value.kind == WqlLiteral::Kind::Integer) {
    boolean_ = value.integer.magnitude != 0;
  } else if (const auto parsed = value.kind == WqlLiteral::Kind::String ? parseBoolean(value.text) : std::nullopt) {
    boolean_ = *parsed;
  } else {
    unsuitable(property, value, "TRUE or FALSE");
  }
}

void ValueComparison::prepareDateTime(const PropertyDefinition& property, const WqlLiteral& value) {
  family_ = Family::DateTime;
  auto time = value.kind == WqlLiteral::Kind::String ? timePointOf(value.text) : std::nullopt;
  if (!time && value.kind == WqlLiteral::Kind::String) time = midnightOf(value.text);
  if (!time) {
    unsuitable(property, value,
               "a quoted CIM date-time such as '20251208132000.000000+060', a date such as 'January 8, 2025' or "
               "'2025-01-08', or an interval such as '00000001020304.000000:000'");
  }
  time_ = *time;
}

// A date in one of WQL's other forms stands for its midnight in UTC.
std::optional<ValueComparison::TimePoint> ValueComparison::midnightOf(std::string_view text) {
  const auto date = parseWqlDate(text);
  if (!date) return std::nullopt;
  return TimePoint{false, daysOf(date->year, date->month, date->day) * 86400 * 1000000};
}

std::optional<ValueComparison::TimePoint> ValueComparison::timePointOf(std::string_view text) {
  if (!isCimDateTime(text)) return std::nullopt;
  const std::int64_t secondsOfDay =
      static_cast<std::int64_t>(digitsAt(text, 8, 2)) * 3600 + digitsAt(text, 10, 2) * 60 + digitsAt(text, 12, 2);
  const std::int64_t micros = digitsAt(text, 15, 6);
  if (text[21] == ':') {
    const std::int64_t days = digitsAt(text, 0, 8);
    return TimePoint{true, (days * 86400 + secondsOfDay) * 1000000 + micros};
  }
  const std::int64_t offsetMinutes = digitsAt(text, 22, 3) * (text[21] == '-' ? -1 : 1);
  const std::int64_t days = daysOf(digitsAt(text, 0, 4), digitsAt(text, 4, 2), digitsAt(text, 6, 2));
  return TimePoint{false, (days * 86400 + secondsOfDay - offsetMinutes * 60) * 1000000 + micros};
}

bool ValueComparison::holdsFor(const VARIANT& stored) const {
  if (stored.vt != storedVarType(type_)) return false;
  if (pattern_) {
    return type_ == CIM_CHAR16 ? pattern_->matches(qrv::com::WideText(1, static_cast<WCHAR>(stored.iVal)))
                               : pattern_->matches(bstrText(stored));
  }
  const auto ordered = orderOf(stored);
  return ordered && holds(op_, *ordered);
}

std::optional<int> ValueComparison::orderOf(const VARIANT& stored) const {
  switch (family_) {
    case Family::Integer: {
      const auto integer = storedInteger(type_, stored);
      return integer ? std::optional<int>(orderOfNumbers(*integer, integer_)) : std::nullopt;
    }
    case Family::Real: {
      const auto real = storedReal(type_, stored);
      // NaN compares with nothing.
      if (!real || !(*real == *real) || !(real_ == real_)) return std::nullopt;
      return order(*real, real_);
    }
    case Family::Boolean:
      return order(stored.boolVal != VARIANT_FALSE, boolean_);
    case Family::DateTime: {
      const auto time = timePointOf(toUtf8(bstrText(stored)));
      if (!time || time->interval != time_.interval) return std::nullopt;
      return order(time->micros, time_.micros);
    }
    default:
      return type_ == CIM_CHAR16 ? order(qrv::com::WideText(1, foldCase(static_cast<WCHAR>(stored.iVal))), text_)
                                 : order(foldCase(bstrText(stored)), text_);
  }
}

}  // namespace wmihost
