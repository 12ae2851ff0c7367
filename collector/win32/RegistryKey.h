#pragma once
// An open registry key, closed when its owner goes, and the values the
// collector reads from it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace collector {

class RegistryKey {
 public:
  // The key below parent, opened for reading in the given view
  // (KEY_WOW64_64KEY, KEY_WOW64_32KEY or 0); nullopt with error set when it cannot be.
  static std::optional<RegistryKey> open(HKEY parent, const std::wstring& path, REGSAM view, LSTATUS* error = nullptr);

  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey& operator=(RegistryKey&&) = delete;
  ~RegistryKey();

  HKEY get() const { return key_; }
  std::vector<std::wstring> subkeyNames() const;
  // A REG_SZ or REG_EXPAND_SZ value (unexpanded) as UTF-8, blanks around it
  // removed; nullopt when missing, of another type or blank.
  std::optional<std::string> text(const wchar_t* name) const;
  // A REG_DWORD value; nullopt when missing or of another type.
  std::optional<DWORD> number(const wchar_t* name) const;

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}

  HKEY key_;
};

}  // namespace collector
