#pragma once

#include <string>

#include "provider/registration/Accessor.h"
#include "provider/registration/Operator.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// The data files of a request: read below the stylesheet root, shared with
// other readers, within the DataFileLimits, and appended to its document.

// Appends the text of the operator's data files in registration order.
// NotAccessible as soon as one of them cannot be read.
RequestStatus appendDataFiles(const OperatorBase& op, std::string& document);

// The path of a data file.
std::string dataFilePath(const FileAccessor& accessor);

// The text of one data file, without its XML declaration and anything
// before it, up to its first zero character. TransformFailed for a file
// beyond the DataFileLimits.
RequestStatus readDataFile(const FileAccessor& accessor, std::string& text);

// Appends that text to `document`; on failure the document is as it was.
RequestStatus appendDataFile(const FileAccessor& accessor, std::string& document);

}  // namespace qrv::cim
