#pragma once
// Reads the association statements of WQL:
//   ASSOCIATORS OF {ObjectPath} [WHERE keyword ...]
//     AssocClass = Class  ClassDefsOnly  KeysOnly  RequiredAssocQualifier = Qualifier
//     RequiredQualifier = Qualifier  ResultClass = Class  ResultRole = Property
//     Role = Property  SchemaOnly
//   REFERENCES OF {ObjectPath} [WHERE keyword ...]
//     ClassDefsOnly  KeysOnly  RequiredQualifier = Qualifier  ResultClass = Class
//     Role = Property  SchemaOnly
// Keywords are found without regard to case and follow each other without
// commas, each at most once. ClassDefsOnly excludes ResultClass (in
// ASSOCIATORS OF), KeysOnly and SchemaOnly; KeysOnly excludes SchemaOnly.
// The path is taken as written; running the query reads it.

#include "host/query/AssociationQuery.h"
#include "host/query/WqlTokens.h"

namespace wmihost {

// Reads the statement from its first token. Throws QueryError with the
// position and the reason of the first fault.
AssociationQuery parseAssociationQuery(WqlTokens& tokens);

}  // namespace wmihost
