#include "service/Paths.h"

#include "service/TextBuffers.h"
#include "service/platform/Platform.h"

namespace rulo {

namespace {

constexpr const char* kSeparators = "\\/";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A prefix that names no directory to create: nothing, or a bare drive.
bool IsRootPrefix(const std::string& prefix) { return prefix.empty() || prefix.back() == ':'; }

void CreateIfMissing(Platform& platform, const std::string& directory) {
  if (!platform.isDirectory(directory)) platform.createDirectory(directory);
}

}  // namespace

std::string SplitPath(const std::string& path) {
  std::size_t cut = path.find_last_of(kSeparators);
  if (cut == std::string::npos) cut = path.find_last_of(':');
  return cut == std::string::npos ? path : path.substr(0, cut);
}

std::string ContainingDirectory(const std::string& path) {
  const std::size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string SiblingPath(const std::string& path, const std::string& name) {
  const std::size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? name : path.substr(0, cut + 1) + name;
}

bool HoldsDoubleQuote(const std::string& path) { return path.find('"') != std::string::npos; }

std::string StripQuotes(std::string text) {
  if (!text.empty() && text.back() == '"') text.pop_back();
  if (!text.empty() && text.front() == '"') text.erase(0, 1);
  return text;
}

bool EnsureDirectory(const std::string& path) {
  if (!FitsBuffer(path, kPathBufferSize)) return false;
  const std::string directory = StripQuotes(path);
  Platform& platform = currentPlatform();
  if (platform.isDirectory(directory)) return true;
  for (std::size_t i = 0; i < directory.size(); ++i) {
    if (!IsSeparator(directory[i])) continue;
    const std::string prefix = directory.substr(0, i);
    if (!IsRootPrefix(prefix)) CreateIfMissing(platform, prefix);
  }
  platform.createDirectory(directory);
  return platform.isDirectory(directory);
}

}  // namespace rulo
