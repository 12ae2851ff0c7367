#include "host/query/AssociationLinks.h"

#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

bool isReference(const PropertyDefinition& property) { return property.type == CIM_REFERENCE; }

bool named(const std::optional<WqlName>& wanted, const std::string& name) {
  return !wanted || equalsIgnoringAsciiCase(wanted->text, name);
}

// Whether the class, if any, carries what the query asks of it: to be the
// named class or derive from it, and to carry the named qualifier.
bool fits(const ClassDefinition& definition, const std::optional<WqlName>& className,
          const std::optional<WqlName>& qualifier) {
  return (!className || definition.isA(className->text)) && (!qualifier || definition.hasQualifier(qualifier->text));
}

// Whether a reference to referencedClass can lead to an object of the
// result class: one of the two classes derives from the other.
bool canLeadTo(const ClassRepository& repository, std::string_view nameSpace, const std::string& referencedClass,
               const std::optional<WqlName>& resultClass) {
  if (!resultClass) return true;
  const auto referenced = repository.find(nameSpace, referencedClass);
  const auto result = repository.find(nameSpace, resultClass->text);
  return (referenced && referenced->isA(resultClass->text)) || (result && result->isA(referencedClass));
}

// Whether some result role differs from some source role: one reference
// cannot lead from the source to another end.
bool leadsOn(const AssociationLink& link) {
  for (const std::size_t source : link.sourceRoles) {
    for (const std::size_t result : link.resultRoles) {
      if (result != source) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<AssociationLink> associationLinks(const ClassRepository& repository, std::string_view nameSpace,
                                              const ClassDefinition& sourceClass, const AssociationQuery& query) {
  const bool associators = query.kind == AssociationQuery::Kind::Associators;
  std::vector<AssociationLink> links;
  for (auto& definition : repository.classes(nameSpace)) {
    if (!definition->hasQualifier("association")) continue;
    const bool wanted = associators ? fits(*definition, query.assocClass, query.requiredAssocQualifier)
                                    : fits(*definition, query.resultClass, query.requiredQualifier);
    if (!wanted) continue;
    AssociationLink link{definition, {}, {}};
    for (std::size_t i = 0; i < definition->properties.size(); ++i) {
      const PropertyDefinition& property = definition->properties[i];
      if (!isReference(property)) continue;
      if (sourceClass.isA(property.referencedClass) && named(query.role, property.name)) link.sourceRoles.push_back(i);
      if (associators && named(query.resultRole, property.name) &&
          canLeadTo(repository, nameSpace, property.referencedClass, query.resultClass)) {
        link.resultRoles.push_back(i);
      }
    }
    if (!link.sourceRoles.empty() && (!associators || leadsOn(link))) links.push_back(std::move(link));
  }
  return links;
}

}  // namespace wmihost
