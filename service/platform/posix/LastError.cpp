#include "service/platform/posix/LastError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace rulo::posix {

namespace {

thread_local DWORD tlsLastError = 0;

struct Translation {
  int errnoValue;
  DWORD code;
};

constexpr Translation kTranslations[] = {
    {ENOENT, kErrorFileNotFound},     {ENOTDIR, kErrorPathNotFound},   {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},      {EISDIR, kErrorAccessDenied},    {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory},  {EMFILE, 4},                     {ENFILE, 4},
    {EINVAL, kErrorInvalidParameter}, {E2BIG, kErrorInvalidParameter}, {EXDEV, 17},
    {EROFS, 19},                      {EBUSY, 32},                     {ETXTBSY, 32},
    {ENOSYS, 50},                     {EOPNOTSUPP, 50},                {ENOSPC, 112},
    {EDQUOT, 112},                    {ENOTEMPTY, 145},                {EEXIST, kErrorAlreadyExists},
    {ENOEXEC, 193},                   {ENAMETOOLONG, 206},             {EFBIG, 223},
    {EIO, kErrorIoDevice},            {ECONNREFUSED, 1225},            {ETIMEDOUT, 1460},
    {ELOOP, 1921},
};

const char* windowsText(DWORD code) {
  switch (code) {
    case kErrorFileNotFound: return "The system cannot find the file specified.";
    case kErrorPathNotFound: return "The system cannot find the path specified.";
    case 4: return "The system cannot open the file.";
    case kErrorAccessDenied: return "Access is denied.";
    case kErrorInvalidHandle: return "The handle is invalid.";
    case kErrorNotEnoughMemory: return "Not enough memory resources are available to process this command.";
    case 17: return "The system cannot move the file to a different disk drive.";
    case 19: return "The media is write protected.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 50: return "The request is not supported.";
    case kErrorInvalidParameter: return "The parameter is incorrect.";
    case 112: return "There is not enough space on the disk.";
    case 123: return "The filename, directory name, or volume label syntax is incorrect.";
    case 145: return "The directory is not empty.";
    case kErrorAlreadyExists: return "Cannot create a file when that file already exists.";
    case 193: return "The file is not a valid application.";
    case 206: return "The filename or extension is too long.";
    case 223: return "The file size exceeds the limit allowed and cannot be saved.";
    case kErrorMoreData: return "More data is available.";
    case kErrorDirectory: return "The directory name is invalid.";
    case kErrorBadDatabase: return "The configuration registry database is corrupt.";
    case kErrorServiceAlreadyRunning: return "An instance of the service is already running.";
    case kErrorServiceDoesNotExist: return "The specified service does not exist as an installed service.";
    case kErrorFailedServiceControllerConnect:
      return "The service process could not connect to the service controller.";
    case kErrorServiceExists: return "The specified service already exists.";
    case kErrorIoDevice: return "The request could not be performed because of an I/O device error.";
    case 1225: return "The remote computer refused the network connection.";
    case 1460: return "This operation returned because the timeout period expired.";
    case 1921: return "The name of the file cannot be resolved by the system.";
    default: return nullptr;
  }
}

bool directoryOfMissing(const std::string& path) {
  const std::size_t cut = path.find_last_of('/');
  if (cut == std::string::npos || cut == 0) return false;
  struct stat info;
  return ::stat(path.substr(0, cut).c_str(), &info) != 0 || !S_ISDIR(info.st_mode);
}

}  // namespace

DWORD win32Code(int errnoValue) {
  for (const Translation& translation : kTranslations)
    if (translation.errnoValue == errnoValue) return translation.code;
  return errnoValue == 0 ? 0 : kErrnoCodeFlag | static_cast<DWORD>(errnoValue);
}

DWORD lastError() { return tlsLastError; }

void setLastError(DWORD code) { tlsLastError = code; }

bool failWith(DWORD code) {
  tlsLastError = code;
  return false;
}

bool failWithErrno() { return failWithErrno(errno); }

bool failWithErrno(int errnoValue) { return failWith(win32Code(errnoValue)); }

bool failWithErrnoFor(const std::string& path, const std::string& other) {
  const int error = errno;
  if (error == ENOENT && (directoryOfMissing(path) || (!other.empty() && directoryOfMissing(other))))
    return failWith(kErrorPathNotFound);
  return failWithErrno(error);
}

std::string errorText(DWORD code) {
  if (const char* text = windowsText(code)) return text;
  if ((code & ~(kErrnoCodeFlag | 0xFFFF)) != 0 || !(code & kErrnoCodeFlag)) return "";
  const char* text = strerrordesc_np(static_cast<int>(code & 0xFFFF));
  return text ? text : "";
}

}  // namespace rulo::posix
