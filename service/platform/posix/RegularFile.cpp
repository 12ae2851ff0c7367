#include "service/platform/posix/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace rulo::posix {

Fd openRegularFile(const std::string& path, int flags, OtherNames otherNames, mode_t mode) {
  Fd fd(::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode));
  struct stat info;
  if (!fd || ::fstat(fd.get(), &info) != 0) return Fd();
  if (!S_ISREG(info.st_mode) || (otherNames == OtherNames::Refused && info.st_nlink != 1)) {
    errno = EACCES;
    return Fd();
  }
  return fd;
}

}  // namespace rulo::posix
