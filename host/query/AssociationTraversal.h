#pragma once
// An association query answered as WMI answers it for a provider that takes
// no association queries, from the provider's enumerations and gets:
//
// - the association classes that can link the source are found in the
//   repository (see AssociationLinks.h) and each is enumerated once; an
//   abstract one has no instances and is skipped;
// - an association refers to the source when one of its source roles holds
//   a path to the same object (see PathIdentity.h);
// - REFERENCES OF gives those associations, each once;
// - ASSOCIATORS OF gives the objects their result roles point at, once for
//   each association that leads to them, narrowed by ResultClass and
//   RequiredQualifier on the object's class. Each object is got once: by a
//   get where its class has one such object, by one enumeration of the class
//   where it has more (or where the provider declines the get). An object
//   the provider does not find is left out;
// - ClassDefsOnly gives the class objects of what would be given, each
//   once, in order of first appearance, without getting the objects;
//   KeysOnly gives the objects cut down to their keys;
// - SchemaOnly, for a class as the source, gives the classes at the other
//   ends of the association classes (ASSOCIATORS OF) or the association
//   classes (REFERENCES OF), without asking the provider.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/com/ComPtr.h"
#include "host/cim/ClassDefinition.h"
#include "host/cim/ClassRepository.h"
#include "host/query/AssociationLinks.h"
#include "host/query/AssociationQuery.h"
#include "host/query/InstanceSource.h"
#include "host/query/PathIdentity.h"

namespace wmihost {

struct AssociationAnswer {
  HRESULT result = S_OK;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects;
  // What more the host knows of a failure.
  std::string detail;
};

class AssociationTraversal {
 public:
  // source is what the query's path names, an object of sourceClass in the
  // namespace. Throws QueryError for SchemaOnly with an instance as the
  // source.
  AssociationTraversal(const AssociationQuery& query, const ClassRepository& repository, std::string nameSpace,
                       const ClassDefinition& sourceClass, PathIdentity source);

  // Throws std::runtime_error for an object that is not the host's own.
  AssociationAnswer run(const InstanceSource& provider) const;
  // The answer to a SchemaOnly query, which needs no provider.
  AssociationAnswer schema() const;

 private:
  using Objects = std::vector<qrv::com::ComPtr<IWbemClassObject>>;
  // An association that refers to the source, by one of its source roles.
  struct Match {
    qrv::com::ComPtr<IWbemClassObject> association;
    const AssociationLink* link;
    std::size_t role;
  };
  // An object an association leads to.
  struct End {
    std::string path;
    PathIdentity identity;
    std::shared_ptr<const ClassDefinition> definition;
  };

  // Enumerates each concrete association class once and keeps what refers
  // to the source; for REFERENCES OF, each association once.
  AssociationAnswer referring(const InstanceSource& provider, std::vector<Match>& matches) const;
  void addEnds(const Match& match, std::vector<End>& ends) const;
  AssociationAnswer fetch(const InstanceSource& provider, const std::vector<End>& ends) const;
  // Gets or enumerates the ends of one class into found.
  AssociationAnswer fetchClass(const InstanceSource& provider, const std::vector<const End*>& ends,
                               std::map<PathIdentity, qrv::com::ComPtr<IWbemClassObject>>& found) const;
  // The class objects of the named classes, each once, in order.
  Objects classObjects(const std::vector<std::string>& classNames) const;
  // The objects cut down to their keys for KeysOnly, else as they are.
  Objects finished(const Objects& objects) const;

  AssociationQuery query_;
  const ClassRepository& repository_;
  std::string nameSpace_;
  PathIdentity source_;
  std::vector<AssociationLink> links_;
};

}  // namespace wmihost
