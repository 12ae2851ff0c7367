#pragma once
// A provider module loaded the way COM loads an in-process server, with the
// entry points that wmihost calls. The module stays loaded for the life of
// the process: the objects it hands out may outlive any point where it could
// safely be unloaded.

#include <string>

#include "common/com/WmiSdk.h"

namespace wmihost {

class ProviderModule {
 public:
  // Loads the module at path, made absolute first so that the module sees
  // its own full path as a registered server would. Throws
  // std::runtime_error when it cannot be loaded or lacks an entry point.
  explicit ProviderModule(const std::string& path);

  const std::string& path() const { return path_; }

  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) const { return getClassObject_(clsid, iid, object); }
  HRESULT registerServer() const { return registerServer_(); }
  HRESULT unregisterServer() const { return unregisterServer_(); }

 private:
  std::string path_;
  HRESULT (*getClassObject_)(REFCLSID, REFIID, void**);
  HRESULT (*registerServer_)();
  HRESULT (*unregisterServer_)();
};

}  // namespace wmihost
