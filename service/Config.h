#pragma once
// The configuration of the collection run, read from the registry.

#include <optional>
#include <string>
#include <vector>

#include "service/platform/Platform.h"

namespace rulo {

constexpr const char* kConfigKey = "SOFTWARE\\Korvex\\rulo\\SysInvSrv";

// What a configuration value must hold to be used.
enum class ValueKind { Text, Number };

// The bytes of one value of subKey below HKEY_LOCAL_MACHINE, at most maxBytes
// of them; nothing when the key or value cannot be read or the value is not
// of the kind asked for.
std::optional<std::vector<char>> ReadConfigValue(const std::string& subKey, const std::string& valueName, bool view64,
                                                 ValueKind kind, DWORD maxBytes);

// A text value of the configuration key; empty when it cannot be read. A text
// that does not fit a path buffer fails the run.
std::string ReadConfigText(const std::string& valueName);

struct RunConfig {
  std::string strInvPath;   // the collector executable
  std::string strDataFile;  // the inventory data file
  DWORD dwTimeout;          // longest wait for the collector, ms; kNoTimeLimit for none
  DWORD dwStartDelay;       // pause before each launch, ms
};

constexpr DWORD kNoTimeLimit = 0xFFFFFFFF;

// Reads the run's configuration; a missing collector path or data file fails the run.
RunConfig ReadRunConfig();

}  // namespace rulo
