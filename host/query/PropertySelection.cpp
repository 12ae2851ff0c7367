#include "host/query/PropertySelection.h"

#include <memory>
#include <stdexcept>

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "host/cim/CimTypes.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::Variant;

PropertySelection::PropertySelection(const ClassDefinition& definition, const std::vector<bool>& chosen) {
  auto cut = std::make_shared<ClassDefinition>(definition);
  cut->properties.clear();
  for (std::size_t i = 0; i < definition.properties.size(); ++i) {
    if (chosen[i] || definition.properties[i].key) cut->properties.push_back(definition.properties[i]);
  }
  class_ = WbemObject::newClass(std::move(cut));
}

ComPtr<IWbemClassObject> PropertySelection::cut(const WbemObject& instance) const {
  ComPtr<IWbemClassObject> cut;
  HRESULT result = class_->SpawnInstance(0, cut.put());
  for (const PropertyDefinition& property : class_->definition().properties) {
    if (FAILED(result)) break;
    const VARIANT& value = instance.value(*instance.definition().indexOf(property.name));
    if (isUnset(value)) continue;
    Variant copy(value);
    result = cut->Put(qrv::com::toWide(property.name).c_str(), 0, copy.get(), 0);
  }
  if (FAILED(result)) throw std::runtime_error("the selected properties could not be copied");
  return cut;
}

}  // namespace wmihost
