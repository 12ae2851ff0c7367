#include "collector/UninstallEntry.h"

#include <algorithm>
#include <tuple>

#include "collector/CivilDate.h"

namespace collector {

namespace {

bool listed(const UninstallEntry& entry) {
  return entry.displayName && !entry.displayName->empty() && entry.systemComponent.value_or(0) != 1;
}

XmlElement packageElement(const UninstallEntry& entry) {
  const auto installed = entry.installDate ? installDateEpoch(*entry.installDate) : std::nullopt;
  XmlElement package("Package");
  package.set("name", *entry.displayName)
      .set("version", entry.displayVersion)
      .set("architecture", entry.architecture)
      .set("installedSizeKiB", entry.estimatedSizeKiB ? std::optional<std::uint64_t>(*entry.estimatedSizeKiB)
                                                      : std::nullopt)
      .set("maintainer", entry.publisher)
      .set("installed", installed ? std::optional<std::string>(std::to_string(*installed)) : std::nullopt);
  return package;
}

}  // namespace

std::optional<std::int64_t> installDateEpoch(const std::string& text) {
  if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const CivilDate date{std::stoi(text.substr(0, 4)), static_cast<unsigned>(std::stoi(text.substr(4, 2))),
                       static_cast<unsigned>(std::stoi(text.substr(6, 2)))};
  if (!isValidDate(date)) return std::nullopt;
  return daysFromCivil(date) * kSecondsPerDay;
}

std::vector<XmlElement> packageElements(std::vector<UninstallEntry> entries) {
  entries.erase(std::remove_if(entries.begin(), entries.end(), [](const UninstallEntry& e) { return !listed(e); }),
                entries.end());
  const auto key = [](const UninstallEntry& e) { return std::tie(*e.displayName, e.architecture, e.keyName); };
  std::sort(entries.begin(), entries.end(), [&](const UninstallEntry& a, const UninstallEntry& b) {
    return key(a) < key(b);
  });
  std::vector<XmlElement> packages;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const bool sameAsBefore = i > 0 && *entries[i].displayName == *entries[i - 1].displayName &&
                              entries[i].architecture == entries[i - 1].architecture;
    if (!sameAsBefore) packages.push_back(packageElement(entries[i]));
  }
  return packages;
}

}  // namespace collector
