#include "host/cim/MofInstance.h"

#include "common/text/AsciiCase.h"

namespace wmihost {

const MofInitializer* MofInstance::value(std::string_view propertyName) const {
  for (const MofPropertyValue& property : properties) {
    if (qrv::text::equalsIgnoringAsciiCase(property.name, propertyName)) return &property.value;
  }
  return nullptr;
}

}  // namespace wmihost
