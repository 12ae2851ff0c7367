#include "tests/provider/module/WexiModule.h"

#include <stdexcept>
#include <string>

namespace qrv::test {

namespace {

// The deployment's wexi.dll, with its XML libraries beside it: bin\ of the
// build holds this program, deploy\bin\ the module.
std::string deployedModulePath() {
  char program[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length == MAX_PATH) throw std::runtime_error("the test program's path is not known");
  std::string path(program, length);
  path.erase(path.find_last_of('\\'));
  path.erase(path.find_last_of('\\') + 1);
  return path + "deploy\\bin\\wexi.dll";
}

template <class Function>
Function entryPoint(HMODULE module, const char* name) {
  const FARPROC symbol = GetProcAddress(module, name);
  if (!symbol) throw std::runtime_error(std::string("wexi exports no ") + name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(symbol));
}

HMODULE handle() {
  // Loaded as COM loads an in-process server: its own folder is searched
  // first for the DLLs it needs.
  static const HMODULE module = LoadLibraryExA(wexiPath(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) throw std::runtime_error(std::string("cannot load ") + wexiPath());
  return module;
}

WexiModule load() {
  const HMODULE module = handle();
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

const char* wexiPath() {
  static const std::string path = deployedModulePath();
  return path.c_str();
}

void* wexiSymbol(const char* name) { return reinterpret_cast<void*>(GetProcAddress(handle(), name)); }

}  // namespace qrv::test
