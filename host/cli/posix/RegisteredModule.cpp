#include "host/cli/RegisteredModule.h"

#include "compat/registry/RegistryFile.h"

namespace wmihost {

std::optional<std::string> registeredModulePath(const std::string& clsidText) {
  const qrv::regfile::Registry registry = qrv::regfile::RegistryFile().read();
  const auto path = registry.value("HKEY_CLASSES_ROOT\\CLSID\\" + clsidText + "\\InprocServer32", "");
  if (!path || path->type != qrv::regfile::kRegSz) return std::nullopt;
  return qrv::regfile::textOf(*path);
}

}  // namespace wmihost
