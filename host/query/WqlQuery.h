#pragma once
// A parsed WQL data query: SELECT * or a property list, FROM one class, an
// optional WHERE condition. Names keep the case the query wrote them in;
// every node keeps the position of its text for the messages of binding.

#include <cstddef>
#include <string>
#include <vector>

#include "host/cim/CimText.h"

namespace wmihost {

struct WqlName {
  std::string text;
  std::size_t position = 0;
};

struct WqlLiteral {
  enum class Kind { String, Integer, Real, Boolean, Null };
  Kind kind = Kind::Null;
  // The string's value with its escapes resolved, or the number as written.
  std::string text;
  WholeNumber integer;
  double real = 0;
  bool boolean = false;
  std::size_t position = 0;
};

enum class WqlOperator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual, Like };

struct WqlCondition {
  enum class Kind { Compare, IsNull, IsNotNull, And, Or, Not };
  Kind kind = Kind::Compare;
  // Compare, IsNull, IsNotNull: the property; Compare: the operator and the
  // value, the property being on the left whichever side the query wrote it.
  WqlName property;
  WqlOperator op = WqlOperator::Equal;
  WqlLiteral value;
  // And, Or: every operand, flat however long the chain; Not: one operand.
  // Only parentheses and NOT nest, so the depth stays bounded.
  std::vector<WqlCondition> operands;
};

struct WqlQuery {
  // Empty for SELECT *.
  std::vector<WqlName> properties;
  WqlName className;
  bool hasCondition = false;
  WqlCondition condition;
};

}  // namespace wmihost
