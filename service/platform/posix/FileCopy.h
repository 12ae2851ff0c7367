#pragma once
// CopyFileA with overwriting allowed: the bytes and the permission bits of a
// regular file into a new file under the target's name. Whatever had that
// name before goes, a link planted there included, and is never written
// through. A failure leaves errno as the failing system call left it, so that
// a full disk reads as ENOSPC; the C++ library's copy turns a failed write
// into EIO.

#include <string>

namespace rulo::posix {

// False, with errno set, when the copy fails; a partly written target stays.
bool copyFile(const std::string& from, const std::string& to);

}  // namespace rulo::posix
