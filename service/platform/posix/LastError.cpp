#include "service/platform/posix/LastError.h"

#include <cerrno>
#include <cstring>

namespace rulo::posix {

namespace {

thread_local DWORD tlsLastError = 0;

const char* windowsText(DWORD code) {
  switch (code) {
    case kErrorMoreData:
      return "More data is available.";
    case kErrorBadDatabase:
      return "The configuration registry database is corrupt.";
    case kErrorServiceAlreadyRunning:
      return "An instance of the service is already running.";
    case kErrorServiceDoesNotExist:
      return "The specified service does not exist as an installed service.";
    case kErrorFailedServiceControllerConnect:
      return "The service process could not connect to the service controller.";
    case kErrorServiceExists:
      return "The specified service already exists.";
    default:
      return nullptr;
  }
}

}  // namespace

DWORD lastError() { return tlsLastError; }

void setLastError(DWORD code) { tlsLastError = code; }

bool failWithErrno() { return failWith(static_cast<DWORD>(errno)); }

bool failWith(DWORD code) {
  tlsLastError = code;
  return false;
}

std::string errorText(DWORD code) {
  if (const char* text = windowsText(code)) return text;
  const char* text = code <= 0x7FFFFFFF ? strerrordesc_np(static_cast<int>(code)) : nullptr;
  return text ? text : "";
}

}  // namespace rulo::posix
