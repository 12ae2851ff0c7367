#include "host/query/QueryFilter.h"

#include <algorithm>
#include <utility>

#include "host/cim/CimTypes.h"
#include "host/cim/SystemProperties.h"
#include "host/query/QueryError.h"
#include "host/query/ValueComparison.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::Variant;

namespace {

const VARIANT& raw(const VARIANT& value) { return value; }
const VARIANT& raw(const Variant& value) { return *value; }

PropertyDefinition systemPropertyDefinition(std::string_view canonicalName) {
  PropertyDefinition property;
  property.name = std::string(canonicalName);
  property.type = systemPropertyType(canonicalName);
  return property;
}

}  // namespace

QueryFilter::QueryFilter(const WqlQuery& query, std::shared_ptr<const ClassDefinition> definition)
    : definition_(std::move(definition)) {
  condition_ = query.hasCondition ? bind(query.condition) : Predicate([](const WbemObject&) { return Truth::True; });
  if (!query.properties.empty()) select(query.properties);
}

void QueryFilter::select(const std::vector<WqlName>& properties) {
  std::vector<bool> listed(definition_->properties.size());
  std::vector<bool> systemListed(kSystemProperties.size());
  for (const WqlName& name : properties) {
    if (const auto system = systemPropertyName(name.text)) {
      systemListed[static_cast<std::size_t>(
          std::find(kSystemProperties.begin(), kSystemProperties.end(), *system) - kSystemProperties.begin())] = true;
    } else {
      listed[propertyIndex(name)] = true;
    }
  }
  for (std::size_t i = 0; i < kSystemProperties.size(); ++i) {
    if (systemListed[i]) systemProperties_.push_back(kSystemProperties[i]);
  }
  selection_.emplace(*definition_, listed);
}

std::size_t QueryFilter::propertyIndex(const WqlName& name) const {
  const auto index = definition_->indexOf(name.text);
  if (!index) throw QueryError(name.position, name.text + " is no property of " + definition_->name);
  return *index;
}

QueryFilter::Predicate QueryFilter::bind(const WqlCondition& condition) const {
  using Kind = WqlCondition::Kind;
  if (condition.kind != Kind::And && condition.kind != Kind::Or && condition.kind != Kind::Not) {
    return bindTerm(condition);
  }
  std::vector<Predicate> operands;
  for (const WqlCondition& operand : condition.operands) operands.push_back(bind(operand));
  if (condition.kind == Kind::Not) {
    return [operand = operands.front()](const WbemObject& o) {
      const Truth truth = operand(o);
      return truth == Truth::Unknown ? truth : (truth == Truth::True ? Truth::False : Truth::True);
    };
  }
  // AND stops at the first false, OR at the first true; unknown wins over
  // the other value.
  const Truth decisive = condition.kind == Kind::And ? Truth::False : Truth::True;
  return [operands = std::move(operands), decisive](const WbemObject& o) {
    bool unknown = false;
    for (const Predicate& operand : operands) {
      const Truth truth = operand(o);
      if (truth == decisive) return decisive;
      unknown = unknown || truth == Truth::Unknown;
    }
    return unknown ? Truth::Unknown : (decisive == Truth::True ? Truth::False : Truth::True);
  };
}

// A comparison or NULL test of one property: a system property's value is
// made for each instance, the class's own is read where it lies.
QueryFilter::Predicate QueryFilter::bindTerm(const WqlCondition& condition) const {
  if (const auto system = systemPropertyName(condition.property.text)) {
    return test(condition, systemPropertyDefinition(*system),
                [name = *system](const WbemObject& o) { return systemPropertyValue(o, name); });
  }
  const std::size_t index = propertyIndex(condition.property);
  return test(condition, definition_->properties[index],
              [index](const WbemObject& o) -> const VARIANT& { return o.value(index); });
}

template <typename Read>
QueryFilter::Predicate QueryFilter::test(const WqlCondition& condition, const PropertyDefinition& property,
                                         Read read) {
  if (condition.kind != WqlCondition::Kind::Compare) {
    const bool wantsNull = condition.kind == WqlCondition::Kind::IsNull;
    return [read, wantsNull](const WbemObject& o) {
      return isUnset(raw(read(o))) == wantsNull ? Truth::True : Truth::False;
    };
  }
  return [read, comparison = ValueComparison(property, condition.op, condition.value)](const WbemObject& o) {
    const auto& value = read(o);
    if (isUnset(raw(value))) return Truth::Unknown;
    return comparison.holdsFor(raw(value)) ? Truth::True : Truth::False;
  };
}

bool QueryFilter::matches(const WbemObject& instance) const { return condition_(instance) == Truth::True; }

std::vector<ComPtr<IWbemClassObject>> QueryFilter::apply(const std::vector<ComPtr<IWbemClassObject>>& objects) const {
  std::vector<ComPtr<IWbemClassObject>> kept;
  for (const auto& object : objects) {
    const WbemObject& instance = WbemObject::delivered(object.get());
    if (!matches(instance)) continue;
    kept.push_back(selection_ ? selection_->cut(instance) : object);
  }
  return kept;
}

}  // namespace wmihost
