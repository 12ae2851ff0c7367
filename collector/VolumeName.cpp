#include "collector/VolumeName.h"

namespace collector {

namespace {

constexpr std::string_view kPrefix = "\\\\?\\Volume{";
constexpr std::string_view kSuffix = "}\\";

}  // namespace

std::optional<std::string> volumeGuid(std::string_view volumeName) {
  if (volumeName.size() <= kPrefix.size() + kSuffix.size() || volumeName.substr(0, kPrefix.size()) != kPrefix ||
      volumeName.substr(volumeName.size() - kSuffix.size()) != kSuffix) {
    return std::nullopt;
  }
  return std::string(volumeName.substr(kPrefix.size(), volumeName.size() - kPrefix.size() - kSuffix.size()));
}

}  // namespace collector
