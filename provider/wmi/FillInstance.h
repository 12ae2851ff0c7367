#pragma once

#include "common/com/WmiSdk.h"
#include "provider/request/model/ParsedInstance.h"

namespace qrv::cim {

// Fills a spawned instance from one parsed instance. The class definition
// decides how each entry is treated: date-times become CIM date-time text,
// references and every other scalar go to WMI as text for Put to convert,
// entries of array properties ("Disk[0]", "Disk[1]", ...) are gathered into
// one array each, and embedded objects and properties the class lacks are
// skipped. A value Put refuses for a scalar property is ignored. Returns the
// outcome of the array phase, S_OK when no array property was touched.
HRESULT fillInstance(const ParsedInstance& parsed, IWbemClassObject* instance);

}  // namespace qrv::cim
