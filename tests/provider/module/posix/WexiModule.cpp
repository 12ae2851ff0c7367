#include "tests/provider/module/WexiModule.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace qrv::test {

namespace {

template <class Function>
Function entryPoint(void* module, const char* name) {
  void* symbol = dlsym(module, name);
  if (!symbol) throw std::runtime_error(std::string("wexi exports no ") + name);
  return reinterpret_cast<Function>(symbol);
}

void* handle() {
  static void* const module = dlopen(wexiPath(), RTLD_NOW | RTLD_LOCAL);
  if (!module) throw std::runtime_error(dlerror());
  return module;
}

WexiModule load() {
  void* module = handle();
  return {entryPoint<HRESULT (*)()>(module, "DllCanUnloadNow"),
          entryPoint<HRESULT (*)(REFCLSID, REFIID, void**)>(module, "DllGetClassObject"),
          entryPoint<HRESULT (*)()>(module, "DllRegisterServer"),
          entryPoint<HRESULT (*)()>(module, "DllUnregisterServer")};
}

}  // namespace

const WexiModule& wexi() {
  static const WexiModule module = load();
  return module;
}

const char* wexiPath() { return WEXI_MODULE_PATH; }

void* wexiSymbol(const char* name) { return dlsym(handle(), name); }

}  // namespace qrv::test
