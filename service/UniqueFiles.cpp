#include "service/UniqueFiles.h"

#include <algorithm>
#include <set>

#include "service/Paths.h"
#include "service/platform/Platform.h"

namespace rulo {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerName(const std::string& path) {
  std::string name = path.substr(path.find_last_of("\\/") + 1);
  std::transform(name.begin(), name.end(), name.begin(), AsciiLower);
  return name;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

void RemoveUniqueFilesBeside(Platform& platform, const std::string& newest, const std::set<std::string>& kept) {
  const auto names = platform.listFiles(ContainingDirectory(newest));
  if (!names) return;
  for (const std::string& name : *names) {
    if (!IsUniqueFileName(name) || kept.count(LowerName(name))) continue;
    const std::string path = SiblingPath(newest, name);
    platform.setNormalAttributes(path);
    platform.deleteFile(path);
  }
}

}  // namespace

bool IsUniqueFileName(const std::string& name) {
  const std::string lower = LowerName(name);
  if (lower.size() < 8 || lower.size() > 11 || lower.compare(0, 3, "rul") != 0 ||
      lower.compare(lower.size() - 4, 4, ".tmp") != 0)
    return false;
  return std::all_of(lower.begin() + 3, lower.end() - 4, IsHexDigit);
}

void RemoveOlderUniqueFiles(const std::vector<std::string>& newest, const std::string& dataFile) {
  Platform& platform = currentPlatform();
  // Kept by name in every folder: the same folder may be named in two ways.
  std::set<std::string> kept = {LowerName(dataFile)};
  std::set<std::string> folders;
  for (const std::string& file : newest) kept.insert(LowerName(file));
  for (const std::string& file : newest) {
    const std::string folder = ContainingDirectory(file);
    if (!folder.empty() && folders.insert(folder).second) RemoveUniqueFilesBeside(platform, file, kept);
  }
}

}  // namespace rulo
