#include "host/query/QueryFilter.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/com/TextConversion.h"
#include "host/query/QueryError.h"
#include "host/query/ValueComparison.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::Variant;

using qrv::com::toWide;

namespace {

bool isUnset(const VARIANT& value) {
  return value.vt == VT_NULL || value.vt == VT_EMPTY || ((value.vt & VT_ARRAY) && !value.parray);
}

}  // namespace

QueryFilter::QueryFilter(const WqlQuery& query, std::shared_ptr<const ClassDefinition> definition)
    : definition_(std::move(definition)) {
  condition_ = query.hasCondition ? bind(query.condition) : Predicate([](const WbemObject&) { return Truth::True; });
  if (query.properties.empty()) return;
  std::vector<bool> listed(definition_->properties.size());
  for (const WqlName& name : query.properties) listed[propertyIndex(name)] = true;
  auto cut = std::make_shared<ClassDefinition>(*definition_);
  cut->properties.clear();
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i] || definition_->properties[i].key) cut->properties.push_back(definition_->properties[i]);
  }
  selectedClass_ = WbemObject::newClass(std::move(cut));
}

std::size_t QueryFilter::propertyIndex(const WqlName& name) const {
  const auto index = definition_->indexOf(name.text);
  if (!index) throw QueryError(name.position, name.text + " is no property of " + definition_->name);
  return *index;
}

QueryFilter::Predicate QueryFilter::bind(const WqlCondition& condition) const {
  using Kind = WqlCondition::Kind;
  if (condition.kind == Kind::And || condition.kind == Kind::Or || condition.kind == Kind::Not) {
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
  const std::size_t index = propertyIndex(condition.property);
  const bool wantsNull = condition.kind == Kind::IsNull;
  if (condition.kind != Kind::Compare) {
    return [index, wantsNull](const WbemObject& o) {
      return isUnset(o.value(index)) == wantsNull ? Truth::True : Truth::False;
    };
  }
  return [index, comparison = ValueComparison(definition_->properties[index], condition.op, condition.value)](
             const WbemObject& o) {
    if (isUnset(o.value(index))) return Truth::Unknown;
    return comparison.holdsFor(o.value(index)) ? Truth::True : Truth::False;
  };
}

bool QueryFilter::matches(const WbemObject& instance) const { return condition_(instance) == Truth::True; }

std::vector<ComPtr<IWbemClassObject>> QueryFilter::apply(const std::vector<ComPtr<IWbemClassObject>>& objects) const {
  std::vector<ComPtr<IWbemClassObject>> kept;
  for (const auto& object : objects) {
    const WbemObject* instance = WbemObject::from(object.get());
    if (!instance) throw std::runtime_error("the provider delivered an object that the host did not make");
    if (!matches(*instance)) continue;
    kept.push_back(selectedClass_ ? selected(*instance) : object);
  }
  return kept;
}

ComPtr<IWbemClassObject> QueryFilter::selected(const WbemObject& instance) const {
  ComPtr<IWbemClassObject> cut;
  HRESULT result = selectedClass_->SpawnInstance(0, cut.put());
  for (const PropertyDefinition& property : selectedClass_->definition().properties) {
    if (FAILED(result)) break;
    const VARIANT& value = instance.value(*instance.definition().indexOf(property.name));
    if (isUnset(value)) continue;
    Variant copy(value);
    result = cut->Put(toWide(property.name).c_str(), 0, copy.get(), 0);
  }
  if (FAILED(result)) throw std::runtime_error("the selected properties could not be copied");
  return cut;
}

}  // namespace wmihost
