#include "service/platform/posix/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "service/platform/posix/Fd.h"
#include "service/platform/posix/RegularFile.h"

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

// Gives the name `to` to a new file with the permission bits of the source
// open as `source`: what had the name goes first, unless it is the source
// itself (removing that would lose it).
Fd replaceWithNewFile(const std::string& to, const struct stat& source) {
  struct stat existing;
  if (::lstat(to.c_str(), &existing) == 0) {
    if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino) {
      errno = EBUSY;
      return Fd();
    }
    if (::unlink(to.c_str()) != 0) return Fd();
  }
  const mode_t mode = source.st_mode & 07777;
  Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
  if (out && ::fchmod(out.get(), mode) != 0) return Fd();
  return out;
}

}  // namespace

bool copyFile(const std::string& from, const std::string& to) {
  const Fd in = openRegularFile(from, O_RDONLY, OtherNames::Allowed);
  struct stat info;
  if (!in || ::fstat(in.get(), &info) != 0) return false;
  const Fd out = replaceWithNewFile(to, info);
  if (!out) return false;
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
