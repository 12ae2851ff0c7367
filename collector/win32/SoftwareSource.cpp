#include "collector/win32/SoftwareSource.h"

#include <windows.h>

#include "collector/UninstallEntry.h"
#include "collector/win32/ComputerSource.h"
#include "collector/win32/RegistryKey.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

constexpr const wchar_t* kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct View {
  REGSAM flag;
  const char* architecture;
};

UninstallEntry readEntry(const RegistryKey& key, const std::wstring& name, const char* architecture) {
  UninstallEntry entry;
  entry.keyName = utf8(name);
  entry.architecture = architecture;
  entry.displayName = key.text(L"DisplayName");
  entry.displayVersion = key.text(L"DisplayVersion");
  entry.publisher = key.text(L"Publisher");
  entry.installDate = key.text(L"InstallDate");
  entry.estimatedSizeKiB = key.number(L"EstimatedSize");
  entry.systemComponent = key.number(L"SystemComponent");
  return entry;
}

// The entries of one view; false with a note when its key cannot be opened.
bool readView(const View& view, std::vector<UninstallEntry>& entries, Notes& notes) {
  LSTATUS error = ERROR_SUCCESS;
  const auto uninstall = RegistryKey::open(HKEY_LOCAL_MACHINE, kUninstall, view.flag, &error);
  if (!uninstall) {
    const std::string why = errorText(static_cast<DWORD>(error));
    notes.push_back(std::string("the ") + view.architecture + " uninstall key: " + why);
    return false;
  }
  for (const std::wstring& name : uninstall->subkeyNames()) {
    const auto key = RegistryKey::open(uninstall->get(), name, view.flag);
    if (key) entries.push_back(readEntry(*key, name, view.architecture));
  }
  return true;
}

// Both views on a 64-bit system, where 32-bit programs have their own; the one view elsewhere.
std::vector<View> registryViews() {
  if (nativeWidthBits() == 64) return {{KEY_WOW64_64KEY, "x64"}, {KEY_WOW64_32KEY, "x86"}};
  return {{0, "x86"}};
}

}  // namespace

XmlElement packagesElement(Notes& notes) {
  std::vector<UninstallEntry> entries;
  std::size_t viewsRead = 0;
  for (const View& view : registryViews()) {
    if (readView(view, entries, notes)) ++viewsRead;
  }
  if (viewsRead == 0) throw SourceFailure(notes.back());
  XmlElement packages("Packages");
  packages.set("source", std::string("registry"));
  for (XmlElement& package : packageElements(std::move(entries))) packages.add(std::move(package));
  return packages;
}

}  // namespace collector
