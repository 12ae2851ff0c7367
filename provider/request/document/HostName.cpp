#include "provider/request/document/HostName.h"

#include <mutex>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <unistd.h>
#endif

namespace qrv::cim {

namespace {

constexpr int kBufferSize = 512;

// Empty when the name cannot be read.
std::string lookUpHostName() {
  char buffer[kBufferSize] = {};
#ifdef _WIN32
  WSADATA data;
  const bool started = WSAStartup(0x0202, &data) == 0;
  const bool read = started && gethostname(buffer, kBufferSize - 1) == 0;
  WSACleanup();
#else
  const bool read = gethostname(buffer, kBufferSize - 1) == 0;
#endif
  return read ? std::string(buffer) : std::string();
}

}  // namespace

std::string hostName() {
  // The lock covers fill and copy alike, so a reader never sees a name being
  // written; a failed look-up leaves the cache empty and is retried.
  static std::mutex lock;
  static std::string cache;
  const std::lock_guard<std::mutex> guard(lock);
  if (cache.empty()) cache = lookUpHostName();
  return cache;
}

}  // namespace qrv::cim
