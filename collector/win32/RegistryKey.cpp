#include "collector/win32/RegistryKey.h"

#include <algorithm>
#include <utility>

#include "collector/TrimSpaces.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

constexpr DWORD kLongestKeyName = 256;       // the registry's limit, in characters
constexpr DWORD kLongestText = 64 * 1024;    // bytes of a text value the collector reads

}  // namespace

std::optional<RegistryKey> RegistryKey::open(HKEY parent, const std::wstring& path, REGSAM view, LSTATUS* error) {
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | view, &key);
  if (error) *error = status;
  if (status != ERROR_SUCCESS) return std::nullopt;
  return RegistryKey(key);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegistryKey::~RegistryKey() {
  if (key_) RegCloseKey(key_);
}

std::vector<std::wstring> RegistryKey::subkeyNames() const {
  std::vector<std::wstring> names;
  wchar_t name[kLongestKeyName + 1];
  for (DWORD index = 0;; ++index) {
    DWORD length = kLongestKeyName + 1;
    const LSTATUS status = RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

std::optional<std::string> RegistryKey::text(const wchar_t* name) const {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kLongestText) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  const std::string text = utf8(value.data(), std::min<std::size_t>(size / sizeof(wchar_t), value.size()));
  const std::string_view trimmed = trimSpaces(text);
  if (trimmed.empty()) return std::nullopt;
  return std::string(trimmed);
}

std::optional<DWORD> RegistryKey::number(const wchar_t* name) const {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

}  // namespace collector
