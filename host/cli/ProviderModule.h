#pragma once
// A provider module loaded the way COM loads an in-process server, with the
// entry points that wmihost calls. The module stays loaded for the life of
// the process: the objects it hands out may outlive any point where it could
// safely be unloaded.
//
// On Windows the module is loaded with its own folder searched first for the
// DLLs it needs (its XML libraries sit beside it), into the calling thread's
// COM apartment, a single-threaded one as the module's registration asks.

#include <string>

#include "common/com/WmiSdk.h"

namespace wmihost {

class ProviderModule {
 public:
  // Where the provider's class objects come from.
  enum class Activation {
    // The module's own DllGetClassObject.
    Direct,
    // COM activation of the class registered for the module
    // (CoGetClassObject). On Linux, where the stand-in's activation knows
    // only the class objects registered in the process, finding the module
    // in the registry file and loading it is what COM's activation does,
    // so there it is the same as Direct.
    Registered
  };

  // Loads the module at path, made absolute first so that the module sees
  // its own full path as a registered server would. Throws
  // std::runtime_error when it cannot be loaded or lacks an entry point.
  explicit ProviderModule(const std::string& path, Activation activation = Activation::Direct);

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
