#include "host/cli/RegisteredModule.h"

#include <stdexcept>

#include "common/com/TextConversion.h"
#include "host/cli/HresultName.h"

namespace wmihost {

namespace {

using qrv::com::WideText;

// A REG_SZ value of HKEY_CLASSES_ROOT; none when the key or value is missing
// or of another type.
std::optional<WideText> classesRootText(const WideText& key) {
  WideText value;
  for (;;) {
    DWORD size = static_cast<DWORD>(value.size() * sizeof(WCHAR));
    const LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                                        value.empty() ? nullptr : value.data(), &size);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_UNSUPPORTED_TYPE) return std::nullopt;
    if (status == ERROR_SUCCESS && (!value.empty() || size == 0)) return value.substr(0, value.find(L'\0'));
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
      throw std::runtime_error("the registry cannot be read: " + hresultText(HRESULT_FROM_WIN32(status)));
    }
    value.assign(size / sizeof(WCHAR), L'\0');
  }
}

}  // namespace

std::optional<std::string> registeredModulePath(const std::string& clsidText) {
  const auto path = classesRootText(qrv::com::toWide("CLSID\\" + clsidText + "\\InprocServer32"));
  if (!path) return std::nullopt;
  return qrv::com::toUtf8(*path);
}

}  // namespace wmihost
