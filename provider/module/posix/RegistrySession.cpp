// The registry of hosts without Windows is the .reg file of compat/registry.
// A session is one update of that file: it is replaced only when the whole
// session succeeds, so a failure leaves it as it was.

#include <cerrno>
#include <new>
#include <system_error>

#include "compat/registry/RegistryFile.h"
#include "provider/module/RegistrySession.h"

namespace qrv::cim {

namespace {

constexpr char kClassesRoot[] = "HKEY_CLASSES_ROOT\\";

class RegistryFileKeys : public RegistryKeys {
 public:
  explicit RegistryFileKeys(regfile::Registry& registry) : registry_(registry) {}

  HRESULT createKey(const std::string& key) override {
    registry_.createKey(path(key));
    return S_OK;
  }

  HRESULT setText(const std::string& key, const std::string& name, const std::string& text) override {
    return registry_.setValue(path(key), name, regfile::textValue(text))
               ? S_OK
               : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  }

  HRESULT deleteValue(const std::string& key, const std::string& name) override {
    registry_.deleteValue(path(key), name);
    return S_OK;
  }

  HRESULT deleteTree(const std::string& key) override {
    registry_.deleteKey(path(key));
    return S_OK;
  }

  HRESULT deleteIfEmpty(const std::string& key) override {
    const std::string full = path(key);
    if (registry_.hasKey(full) && registry_.subkeys(full).empty() && registry_.valueNames(full).empty()) {
      registry_.deleteKey(full);
    }
    return S_OK;
  }

 private:
  static std::string path(const std::string& key) { return kClassesRoot + key; }

  regfile::Registry& registry_;
};

HRESULT fromSystemError(const std::system_error& error) {
  const int code = error.code().value();
  if (code == EACCES || code == EPERM || code == EROFS) return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  return E_FAIL;
}

}  // namespace

HRESULT inRegistrySession(const std::function<HRESULT(RegistryKeys&)>& work) {
  HRESULT hr = S_OK;
  try {
    regfile::RegistryFile(regfile::RegistryFile::defaultPath()).update([&](regfile::Registry& registry) {
      RegistryFileKeys keys(registry);
      hr = work(keys);
      return SUCCEEDED(hr);
    });
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::system_error& error) {
    return fromSystemError(error);
  } catch (const regfile::RegistryError&) {
    return E_FAIL;
  }
  return hr;
}

}  // namespace qrv::cim
