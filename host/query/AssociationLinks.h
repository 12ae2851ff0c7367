#pragma once
// The association classes through which an object of a class can be linked
// to others, as an association query narrows them. An association class
// carries the association qualifier; a reference of it can point at an
// object of the source class when it refers to that class or to a base of
// it.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"
#include "host/cim/ClassRepository.h"
#include "host/query/AssociationQuery.h"

namespace wmihost {

struct AssociationLink {
  std::shared_ptr<const ClassDefinition> association;
  // The reference properties that can point at the source (its roles),
  // named by Role where it is given.
  std::vector<std::size_t> sourceRoles;
  // ASSOCIATORS OF: the reference properties that can lead to the other
  // ends, named by ResultRole where it is given, and referring to a class
  // that is the ResultClass, derives from it or is a base of it.
  std::vector<std::size_t> resultRoles;
};

// The association classes of the namespace, in the order of their names,
// that can link sourceClass as the query asks: those named by AssocClass or
// deriving from it and carrying RequiredAssocQualifier (ASSOCIATORS OF), or
// those named by ResultClass or deriving from it and carrying
// RequiredQualifier (REFERENCES OF), with a source role and, for ASSOCIATORS
// OF, a result role.
std::vector<AssociationLink> associationLinks(const ClassRepository& repository, std::string_view nameSpace,
                                              const ClassDefinition& sourceClass, const AssociationQuery& query);

}  // namespace wmihost
