#include "service/Config.h"

#include <algorithm>
#include <cstdint>

#include "service/Paths.h"
#include "service/RunFailure.h"
#include "service/TextBuffers.h"

namespace rulo {

namespace {

constexpr DWORD kDwordSize = 4;
constexpr DWORD kErrorMoreData = 234;  // the value is larger than the buffer

bool IsOfKind(DWORD type, ValueKind kind) {
  return kind == ValueKind::Text ? (type == RegSz || type == RegExpandSz) : type == RegDword;
}

// A number value of the configuration key; preset when it cannot be read.
DWORD ReadConfigNumber(const std::string& valueName, DWORD preset) {
  const auto bytes = ReadConfigValue(kConfigKey, valueName, false, ValueKind::Number, kDwordSize);
  if (!bytes || bytes->size() != kDwordSize) return preset;
  DWORD value = 0;
  for (DWORD i = 0; i < kDwordSize; ++i) value |= static_cast<DWORD>(static_cast<unsigned char>((*bytes)[i])) << (8 * i);
  return value;
}

// Seconds as milliseconds, held at the largest 32-bit value instead of wrapping.
DWORD Milliseconds(DWORD seconds) {
  return static_cast<DWORD>(std::min<std::uint64_t>(std::uint64_t{seconds} * 1000, kNoTimeLimit));
}

RunFailure Overlong(const std::string& valueName) {
  return RunFailure("Registry key value " + valueName + " is longer than 259 characters");
}

// What a required value holds, and why it is missing.
std::string MissingValueDetail(const std::string& valueName, const char* content) {
  const std::string why = currentPlatform().failureDetail();
  return "Registry key value " + valueName + ", " + content + ", " +
         (why.empty() ? "is empty or not text" : "cannot be read: " + why);
}

// A path taken as it is: a relative one would name a file in whatever folder
// the service started in (on Windows the system folder), so it is refused.
std::string RequiredPath(const std::string& valueName, const char* missingText, const char* content) {
  std::string path = ReadConfigText(valueName);
  if (path.empty()) {
    const DWORD readError = currentPlatform().lastError();
    throw RunFailure(missingText, readError, MissingValueDetail(valueName, content));
  }
  if (!currentPlatform().isAbsolutePath(path))
    throw RunFailure(FitText("Registry key value " + valueName + " is not a full path: " + path, kMessageBufferSize),
                     kErrorInvalidName);
  return path;
}

// The collector's path, which its command line carries in double quotes.
std::string CollectorPath() {
  std::string path = RequiredPath("invexecdir", "Missing registry key value for Korvex Inventory Collector utility",
                                  "the full path of the inventory collector");
  if (HoldsDoubleQuote(path))
    throw RunFailure(FitText("Registry key value invexecdir holds a double quote: " + path, kMessageBufferSize),
                     kErrorInvalidName);
  return path;
}

}  // namespace

std::optional<std::vector<char>> ReadConfigValue(const std::string& subKey, const std::string& valueName, bool view64,
                                                 ValueKind kind, DWORD maxBytes) {
  auto value = currentPlatform().readRegistryValue(subKey, valueName, view64, maxBytes);
  if (!value || !IsOfKind(value->type, kind)) return std::nullopt;
  return std::move(value->bytes);
}

std::string ReadConfigText(const std::string& valueName) {
  Platform& platform = currentPlatform();
  platform.setLastError(0);
  const auto bytes = ReadConfigValue(kConfigKey, valueName, false, ValueKind::Text, kPathBufferSize);
  if (!bytes) {
    if (platform.lastError() == kErrorMoreData) throw Overlong(valueName);
    return std::string();
  }
  // A value that fills the buffer without a terminator does not fit it either.
  const auto end = std::find(bytes->begin(), bytes->end(), '\0');
  if (end == bytes->end() && bytes->size() == kPathBufferSize) throw Overlong(valueName);
  return std::string(bytes->begin(), end);
}

RunConfig ReadRunConfig() {
  RunConfig config;
  config.strInvPath = CollectorPath();
  config.strDataFile = RequiredPath("invoutputfile", "Missing registry key value for Korvex Inventory Collector result",
                                    "the full path of the inventory data file");
  const DWORD timeoutSeconds = ReadConfigNumber("invtimeout", 0);
  config.dwTimeout = timeoutSeconds > 0 ? Milliseconds(timeoutSeconds) : kNoTimeLimit;
  config.dwStartDelay = Milliseconds(ReadConfigNumber("startdelaysecond", 0));
  return config;
}

}  // namespace rulo
