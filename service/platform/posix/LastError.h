#pragma once
// The calling thread's last error, as GetLastError keeps it on Windows. It
// always holds a Win32 error code: errno values are translated into the code
// of the same meaning (ENOENT into ERROR_FILE_NOT_FOUND, EACCES into
// ERROR_ACCESS_DENIED, ...), so that a code reported or acted on means on
// Linux what it means on Windows. An errno value without a Win32 counterpart
// becomes an application-defined code: bit 29 set, the errno value below it.

#include <string>

#include "service/platform/Platform.h"

namespace rulo::posix {

constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorPathNotFound = 3;
constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorNotEnoughMemory = 8;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorAlreadyExists = 183;
constexpr DWORD kErrorMoreData = 234;
constexpr DWORD kErrorDirectory = 267;
constexpr DWORD kErrorBadDatabase = 1009;
constexpr DWORD kErrorServiceAlreadyRunning = 1056;
constexpr DWORD kErrorServiceDoesNotExist = 1060;
constexpr DWORD kErrorFailedServiceControllerConnect = 1063;
constexpr DWORD kErrorServiceExists = 1073;
constexpr DWORD kErrorIoDevice = 1117;

// The marker of an errno value that no Win32 code stands for.
constexpr DWORD kErrnoCodeFlag = 0x20000000;

// The Win32 code of the same meaning as an errno value.
DWORD win32Code(int errnoValue);

DWORD lastError();
void setLastError(DWORD code);
// Sets a Win32 code as the last error; returns false for use in failing returns.
bool failWith(DWORD code);
// Takes errno, or the errno value given, translated, as the last error; false.
bool failWithErrno();
bool failWithErrno(int errnoValue);
// As failWithErrno, for an operation on path (and other): a missing file whose
// directory is missing too is ERROR_PATH_NOT_FOUND, as on Windows.
bool failWithErrnoFor(const std::string& path, const std::string& other = std::string());

// The message text of a Win32 code this platform sets; empty for any other code.
std::string errorText(DWORD code);

}  // namespace rulo::posix
