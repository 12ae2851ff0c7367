#pragma once
// Where COM finds an in-process server: the default value of
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, read from the registry
// on Windows and from the registry file (compat/registry) on Linux.

#include <optional>
#include <string>

namespace wmihost {

// The module registered for the class; none when the class or its
// InprocServer32 key is not registered. Throws what the registry file throws
// when it cannot be read.
std::optional<std::string> registeredModulePath(const std::string& clsidText);

}  // namespace wmihost
