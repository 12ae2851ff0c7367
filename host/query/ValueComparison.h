#pragma once
// One comparison of a WHERE clause, made ready for a property: the value is
// read once in the terms of the property's CIM type, and each instance's
// stored value is compared in those terms.
//
// - Integers compare as numbers, exactly over the whole 64-bit range; with a
//   real value, or a real property, as doubles. A quoted number is taken too.
// - Booleans compare with TRUE, FALSE, 0, 1 or their text; FALSE < TRUE.
// - Strings, references and char16 compare without regard to case (see
//   CaseFold.h), in the order of their UTF-16 units.
// - Date-times compare in time order, whatever their offsets from UTC;
//   intervals compare by length; a point in time and an interval never
//   compare. A date in one of WQL's other forms (see WqlDate.h) is its
//   midnight in UTC.
// - LIKE applies to strings, references, char16 and date-times.
// An unset value satisfies no comparison, <> included (the filter takes
// such a comparison as unknown).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/com/TextConversion.h"
#include "host/cim/ClassDefinition.h"
#include "host/query/LikePattern.h"
#include "host/query/WqlQuery.h"

namespace wmihost {

class ValueComparison {
 public:
  // Throws QueryError when the value does not suit the property's type or
  // the operator does not apply to it (arrays and objects take none).
  ValueComparison(const PropertyDefinition& property, WqlOperator op, const WqlLiteral& value);

  bool holdsFor(const VARIANT& stored) const;

 private:
  enum class Family { Integer, Real, Boolean, Text, DateTime };

  struct TimePoint {
    bool interval = false;
    // Microseconds since 0000-03-01 UTC, or the interval's length.
    std::int64_t micros = 0;
  };

  void prepareNumber(const PropertyDefinition& property, const WqlLiteral& value);
  void prepareBoolean(const PropertyDefinition& property, const WqlLiteral& value);
  void prepareDateTime(const PropertyDefinition& property, const WqlLiteral& value);
  // The order of the stored value against the prepared one; none when they
  // do not compare.
  std::optional<int> orderOf(const VARIANT& stored) const;
  static std::optional<TimePoint> timePointOf(std::string_view text);
  static std::optional<TimePoint> midnightOf(std::string_view text);

  CIMTYPE type_;
  WqlOperator op_;
  Family family_ = Family::Text;
  WholeNumber integer_;
  double real_ = 0;
  bool boolean_ = false;
  qrv::com::WideText text_;
  TimePoint time_;
  std::shared_ptr<const LikePattern> pattern_;
};

}  // namespace wmihost
