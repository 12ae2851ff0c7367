#pragma once
// Reads a WQL data query:
//   SELECT * | Prop [, Prop ...] FROM Class [WHERE condition]
// condition: OR of ANDs of [NOT] terms; a term is a parenthesised condition,
// Prop IS [NOT] NULL, Prop [NOT] LIKE 'pattern', or a comparison with
// = <> != < <= > >= between a property and a value on either side. Values
// are strings in single or double quotes (a backslash takes the next
// character as it is), integers (decimal or 0x hexadecimal, with a sign),
// reals, TRUE, FALSE and NULL; "= NULL" and "<> NULL" read as IS [NOT] NULL.
// Keywords are found without regard to case. A statement is such a query or
// an association statement (see AssociationQueryParser.h).
//
// One pass over the text, so the time is linear in its length; parentheses
// and NOT nest at most kMaxNesting deep, so the recursion is bounded.

#include <cstddef>
#include <string_view>
#include <variant>

#include "host/query/AssociationQuery.h"
#include "host/query/WqlQuery.h"

namespace wmihost {

inline constexpr std::size_t kMaxNesting = 64;

using WqlStatement = std::variant<WqlQuery, AssociationQuery>;

// Throw QueryError with the position and the reason of the first fault.
WqlQuery parseWql(std::string_view text);
WqlStatement parseWqlStatement(std::string_view text);

}  // namespace wmihost
