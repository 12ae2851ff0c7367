#pragma once

#include <string_view>
#include <vector>

#include "provider/request/model/ParsedInstance.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// Reads one instance's "name = value;" statements into `instance`.
RequestStatus parseResultInstance(std::string_view piece, ParsedInstance& instance);

// Appends one ParsedInstance per "instance of" piece that holds a statement.
RequestStatus parseResultInstances(std::string_view resultText, std::vector<ParsedInstance>& instances);

}  // namespace qrv::cim
