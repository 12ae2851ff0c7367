// Registration on Windows writes the live registry below HKEY_CLASSES_ROOT,
// with the thread locale set to the system default for the session so that
// what it writes does not depend on the caller's locale.

#include "provider/module/RegistrySession.h"

namespace qrv::cim {

namespace {

HRESULT fromWin32(LONG status) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(status)); }

bool missing(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

class LiveRegistryKeys : public RegistryKeys {
 public:
  HRESULT createKey(const std::string& key) override {
    HKEY handle = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_READ | KEY_WRITE, nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) RegCloseKey(handle);
    return fromWin32(status);
  }

  HRESULT setText(const std::string& key, const std::string& name, const std::string& text) override {
    const LONG status = RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), name.empty() ? nullptr : name.c_str(),
                                        REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    return fromWin32(status);
  }

  HRESULT deleteValue(const std::string& key, const std::string& name) override {
    const LONG status = RegDeleteKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), name.empty() ? nullptr : name.c_str());
    return missing(status) ? S_OK : fromWin32(status);
  }

  HRESULT deleteTree(const std::string& key) override {
    // RegDeleteTreeA empties the key; the key itself goes with RegDeleteKeyA
    // where it is still there.
    LONG status = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    if (status == ERROR_SUCCESS) status = RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    return missing(status) ? S_OK : fromWin32(status);
  }

  HRESULT deleteIfEmpty(const std::string& key) override {
    HKEY handle = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle);
    if (missing(status)) return S_OK;
    if (status != ERROR_SUCCESS) return fromWin32(status);
    DWORD subkeys = 0;
    DWORD values = 0;
    status = RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                              nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return fromWin32(status);
    if (subkeys != 0 || values != 0) return S_OK;
    return fromWin32(RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str()));
  }
};

}  // namespace

HRESULT inRegistrySession(const std::function<HRESULT(RegistryKeys&)>& work) {
  const LCID previous = GetThreadLocale();
  SetThreadLocale(LOCALE_SYSTEM_DEFAULT);
  LiveRegistryKeys keys;
  const HRESULT hr = work(keys);
  SetThreadLocale(previous);
  return hr;
}

}  // namespace qrv::cim
