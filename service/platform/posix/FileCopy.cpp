#include "service/platform/posix/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "service/platform/posix/Fd.h"

namespace rulo::posix {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

bool writeAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Whether path names the file open as info (emptying it would lose the source).
bool sameFile(const std::string& path, const struct stat& info) {
  struct stat target;
  return ::stat(path.c_str(), &target) == 0 && target.st_dev == info.st_dev && target.st_ino == info.st_ino;
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to) {
  const Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (!in || ::fstat(in.get(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (sameFile(to, info)) {
    errno = EBUSY;
    return false;
  }
  const mode_t mode = info.st_mode & 07777;
  const Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (!out || ::fchmod(out.get(), mode) != 0) return false;
  std::vector<char> buffer(kChunk);
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!writeAll(out.get(), buffer.data(), static_cast<std::size_t>(n))) return false;
  }
}

}  // namespace rulo::posix
