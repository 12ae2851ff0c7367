#pragma once
// Instances cut down to some properties of their class, as a query with a
// property list or KeysOnly delivers them: a class that keeps the chosen
// properties and the keys, in their declared order, and instances of it
// that hold the original's values of those properties.

#include <vector>

#include "common/com/ComPtr.h"
#include "host/cim/ClassDefinition.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

class PropertySelection {
 public:
  // chosen[i] tells whether definition.properties[i] is kept; the keys are
  // kept whatever it says.
  PropertySelection(const ClassDefinition& definition, const std::vector<bool>& chosen);

  // A new instance of the cut class with the instance's values. Throws
  // std::runtime_error when they cannot be copied.
  qrv::com::ComPtr<IWbemClassObject> cut(const WbemObject& instance) const;

 private:
  qrv::com::ComPtr<WbemObject> class_;
};

}  // namespace wmihost
