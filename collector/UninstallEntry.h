#pragma once
// Installed software as the uninstall entries of the registry describe it
// (SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall, one subkey each, in
// the 64-bit and the 32-bit view), turned into Package elements.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collector/XmlElement.h"

namespace collector {

// The values of one entry that the inventory reads, as UTF-8.
struct UninstallEntry {
  std::string keyName;  // the subkey's name: the product code or the program's own name
  std::string architecture;  // x64 for the 64-bit view, x86 for the 32-bit one
  std::optional<std::string> displayName;
  std::optional<std::string> displayVersion;
  std::optional<std::string> publisher;
  std::optional<std::string> installDate;      // YYYYMMDD
  std::optional<std::uint32_t> estimatedSizeKiB;
  std::optional<std::uint32_t> systemComponent;
};

// Seconds since the epoch of YYYYMMDD at 00:00 UTC; nullopt for anything
// else: another length, a non-digit, a month or day that does not exist.
std::optional<std::int64_t> installDateEpoch(const std::string& text);

// The Package elements of the entries: those with a display name and not
// marked SystemComponent=1, ordered by name and architecture. Where several
// entries share a name and an architecture, the one whose subkey name sorts
// first (byte order) stands for them, whatever order the registry listed them in.
std::vector<XmlElement> packageElements(std::vector<UninstallEntry> entries);

}  // namespace collector
