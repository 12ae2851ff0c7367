#include "service/platform/posix/PaddingMarker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "service/platform/posix/Fd.h"

namespace rulo::posix {

bool hasPaddingMarker(const std::string& path) {
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  const std::string marker = kPaddingMarker;
  // The window keeps the end of the previous chunk, so a marker split
  // between two reads is still found.
  std::string window;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    window.append(buffer, static_cast<std::size_t>(n));
    if (window.find(marker) != std::string::npos) return true;
    window.erase(0, window.size() - (marker.size() - 1));
  }
}

}  // namespace rulo::posix
