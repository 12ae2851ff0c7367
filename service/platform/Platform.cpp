#include "service/platform/Platform.h"

#include <atomic>
#include <stdexcept>

namespace rulo {

namespace {

// Installed once at program start, read from the service thread and the
// control dispatcher's thread alike.
std::atomic<Platform*> installed{nullptr};

}  // namespace

Platform& currentPlatform() {
  Platform* platform = installed.load();
  if (!platform) throw std::logic_error("no platform installed");
  return *platform;
}

void installPlatform(Platform& platform) { installed.store(&platform); }

}  // namespace rulo
