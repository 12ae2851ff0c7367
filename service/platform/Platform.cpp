#include "service/platform/Platform.h"

#include <atomic>
#include <stdexcept>

namespace rulo {

namespace {

// Installed at program start, read from the service thread and the control
// dispatcher's thread alike.
std::atomic<Platform*> installed{nullptr};

}  // namespace

Platform& currentPlatform() {
  Platform* platform = installed.load();
  if (!platform) throw std::logic_error("no platform installed");
  return *platform;
}

PlatformScope::PlatformScope(Platform& platform) : previous_(installed.exchange(&platform)) {}

PlatformScope::~PlatformScope() { installed.store(previous_); }

}  // namespace rulo
