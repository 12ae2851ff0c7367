#pragma once

#include <string>

#include "provider/registration/ClassMap.h"
#include "provider/request/model/KeyValues.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// Appends the <Attributes> block of a get: one entry per attribute that has
// a key value, Required entries before Optional ones. MissingKey, with
// nothing appended, when a required attribute has no key value.
RequestStatus writeRequestAttributes(const ClassMap& classMap, const KeyValues& keyValues, std::string& document);

}  // namespace qrv::cim
