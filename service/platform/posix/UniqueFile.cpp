#include "service/platform/posix/UniqueFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "service/platform/posix/Fd.h"

namespace rulo::posix {

namespace {

constexpr unsigned kNumbers = 0xFFFF;

std::string nameFor(const std::string& directory, const std::string& prefix, unsigned number) {
  char name[16];
  std::snprintf(name, sizeof name, "%.3s%X.TMP", prefix.c_str(), number);
  if (directory.empty()) return name;
  const char last = directory.back();
  return directory + (last == '/' || last == '\\' ? "" : "/") + name;
}

}  // namespace

std::optional<std::string> createUniqueFile(const std::string& directory, const std::string& prefix) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const unsigned start = static_cast<unsigned>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
  for (unsigned i = 0; i < kNumbers; ++i) {
    const unsigned number = (start + i) % kNumbers + 1;
    std::string path = nameFor(directory, prefix, number);
    const Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd) return path;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace rulo::posix
