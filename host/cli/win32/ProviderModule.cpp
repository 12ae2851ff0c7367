#include "host/cli/ProviderModule.h"

#include <filesystem>
#include <stdexcept>

#include "common/com/TextConversion.h"
#include "host/cli/HresultName.h"

namespace wmihost {

namespace {

HRESULT lastErrorResult() { return HRESULT_FROM_WIN32(GetLastError()); }

// The main thread's COM apartment, entered with the first module and left
// when the process ends, after everything the module handed out is gone.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    if (FAILED(result_)) throw std::runtime_error("COM cannot be initialised: " + hresultText(result_));
  }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  HRESULT result_;
};

void enterApartment() { static const Apartment apartment; }

HMODULE load(const std::string& path) {
  // The altered search path looks for the module's dependencies in its own
  // folder first, as COM loads an in-process server.
  const HMODULE module = LoadLibraryExW(qrv::com::toWide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) throw std::runtime_error("cannot load the module " + path + ": " + hresultText(lastErrorResult()));
  return module;
}

template <typename Function>
Function entryPoint(HMODULE module, const std::string& path, const char* name) {
  const FARPROC symbol = GetProcAddress(module, name);
  if (!symbol) throw std::runtime_error(path + " exports no " + name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(symbol));
}

HRESULT activateRegistered(REFCLSID clsid, REFIID iid, void** object) {
  return CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, iid, object);
}

}  // namespace

ProviderModule::ProviderModule(const std::string& path, Activation activation)
    : path_(std::filesystem::absolute(std::filesystem::u8path(path)).u8string()) {
  enterApartment();
  const HMODULE module = load(path_);
  getClassObject_ = activation == Activation::Registered
                        ? activateRegistered
                        : entryPoint<HRESULT (*)(REFCLSID, REFIID, void**)>(module, path_, "DllGetClassObject");
  registerServer_ = entryPoint<HRESULT (*)()>(module, path_, "DllRegisterServer");
  unregisterServer_ = entryPoint<HRESULT (*)()>(module, path_, "DllUnregisterServer");
}

}  // namespace wmihost
