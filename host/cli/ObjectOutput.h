#pragma once
// What wmihost prints for the objects a request delivered: their MOF text
// one after the other, one JSON array of their JSON objects, their
// "Name = value" lines (ListOutput.h) or their CSV rows (CsvOutput.h); each
// with the system properties the client asked to see first.

#include <string>
#include <string_view>
#include <vector>

#include "common/com/ComPtr.h"
#include "host/cli/CommandLine.h"

namespace wmihost {

// Throws std::runtime_error for an object that is not one of the host's own,
// as every object spawned from the host's class definitions is.
std::string formatObjects(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects, OutputFormat format,
                          const std::vector<std::string_view>& systemProperties = {});

// The objects as one JSON array on one line, for JSON Lines.
std::string jsonLine(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects,
                     const std::vector<std::string_view>& systemProperties = {});

}  // namespace wmihost
