#pragma once
// A WQL query bound to its class, as WMI applies it to what a provider
// delivers when the provider does not take the query itself: the WHERE
// condition picks instances, the property list cuts them down to the listed
// properties and the keys.
//
// Conditions and the property list may name system properties (__CLASS,
// __PATH, ... see SystemProperties.h) as well as the class's own. The
// system properties a property list names are what a client asked to see
// of each instance (systemProperties()); every instance answers them.
//
// The condition has three values, as in SQL: a comparison with an unset
// property is unknown, NOT keeps unknown unknown, AND and OR take the
// strongest operand, and an instance matches only when the whole is true.
// So NOT (Size > 5) and Size <= 5 pick the same instances; IS [NOT] NULL
// is never unknown.

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"
#include "host/cim/WbemObject.h"
#include "host/query/PropertySelection.h"
#include "host/query/WqlQuery.h"

namespace wmihost {

class QueryFilter {
 public:
  // definition is the class the query names. Throws QueryError naming a
  // property the class lacks or a comparison its type does not allow.
  QueryFilter(const WqlQuery& query, std::shared_ptr<const ClassDefinition> definition);

  bool matches(const WbemObject& instance) const;

  // The instances that match, each as the query selects it: itself for
  // SELECT *, else a new instance with only the listed properties and the
  // keys. Throws std::runtime_error for an object that is not the host's own.
  std::vector<qrv::com::ComPtr<IWbemClassObject>> apply(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects) const;

  // The system properties the property list names, in WMI's order.
  const std::vector<std::string_view>& systemProperties() const { return systemProperties_; }

 private:
  enum class Truth { False, Unknown, True };
  using Predicate = std::function<Truth(const WbemObject&)>;

  void select(const std::vector<WqlName>& properties);
  Predicate bind(const WqlCondition& condition) const;
  Predicate bindTerm(const WqlCondition& condition) const;
  template <typename Read>
  static Predicate test(const WqlCondition& condition, const PropertyDefinition& property, Read read);
  std::size_t propertyIndex(const WqlName& name) const;

  std::shared_ptr<const ClassDefinition> definition_;
  Predicate condition_;
  // The cut of the listed properties; none for SELECT *.
  std::optional<PropertySelection> selection_;
  std::vector<std::string_view> systemProperties_;
};

}  // namespace wmihost
