#include "host/cli/ProviderModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

namespace wmihost {

namespace {

void* load(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
  return handle;
}

template <typename Function>
Function entryPoint(void* handle, const std::string& path, const char* name) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw std::runtime_error(path + " exports no " + name);
  return reinterpret_cast<Function>(symbol);
}

}  // namespace

ProviderModule::ProviderModule(const std::string& path, Activation) : path_(std::filesystem::absolute(path).string()) {
  void* handle = load(path_);
  getClassObject_ = entryPoint<HRESULT (*)(REFCLSID, REFIID, void**)>(handle, path_, "DllGetClassObject");
  registerServer_ = entryPoint<HRESULT (*)()>(handle, path_, "DllRegisterServer");
  unregisterServer_ = entryPoint<HRESULT (*)()>(handle, path_, "DllUnregisterServer");
}

}  // namespace wmihost
