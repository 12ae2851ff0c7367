#pragma once
// A parsed ASSOCIATORS OF or REFERENCES OF statement: the source object's
// path and what its WHERE clause asks. Names keep the case the query wrote
// them in, with their positions for the messages of running it.

#include <cstddef>
#include <optional>
#include <string>

#include "host/query/WqlQuery.h"

namespace wmihost {

struct AssociationQuery {
  enum class Kind { Associators, References };
  Kind kind = Kind::Associators;
  // The source's object path as written between the braces, and the
  // position of its first character in the query.
  std::string path;
  std::size_t pathPosition = 0;
  // The names the WHERE clause gives; AssocClass, ResultRole and
  // RequiredAssocQualifier only in ASSOCIATORS OF.
  std::optional<WqlName> assocClass;
  std::optional<WqlName> resultClass;
  std::optional<WqlName> role;
  std::optional<WqlName> resultRole;
  std::optional<WqlName> requiredQualifier;
  std::optional<WqlName> requiredAssocQualifier;
  bool classDefsOnly = false;
  bool keysOnly = false;
  bool schemaOnly = false;
};

}  // namespace wmihost
