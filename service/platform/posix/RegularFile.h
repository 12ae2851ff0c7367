#pragma once
// Opening a file by its name in a folder that others may write to: never
// through a symbolic link, never waiting on a FIFO, and only a regular file.
// A file whose mode or content the service changes must also have no other
// name: a hard link planted to another file would pass the change on to it.

#include <sys/types.h>

#include <string>

#include "service/platform/posix/Fd.h"

namespace rulo::posix {

enum class OtherNames { Allowed, Refused };

// Opens path with flags and O_NOFOLLOW, O_NONBLOCK and O_CLOEXEC (with mode
// for a file that O_CREAT makes); an invalid Fd, with errno set, when it
// cannot be opened (ELOOP for a link) or is not such a file (EACCES).
Fd openRegularFile(const std::string& path, int flags, OtherNames otherNames, mode_t mode = 0);

}  // namespace rulo::posix
