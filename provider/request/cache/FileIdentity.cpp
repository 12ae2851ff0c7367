#include "provider/request/cache/FileIdentity.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <ctime>
#endif

namespace qrv::cim {

namespace {

#ifdef _WIN32
// FILETIME and LARGE_INTEGER times count 100-nanosecond ticks.
constexpr std::int64_t kTicksPerSecond = 10000000;

std::int64_t ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

std::int64_t now() {
  FILETIME time;
  GetSystemTimeAsFileTime(&time);
  return ticks(time);
}
#else
constexpr std::int64_t kTicksPerSecond = 1000000000;

std::int64_t ticks(const timespec& time) { return std::int64_t{time.tv_sec} * kTicksPerSecond + time.tv_nsec; }

std::int64_t now() {
  timespec time{};
  clock_gettime(CLOCK_REALTIME, &time);
  return ticks(time);
}
#endif

// Two seconds: above the coarsest write-time resolution in use (FAT's).
constexpr std::int64_t kSettleTicks = 2 * kTicksPerSecond;

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && index == other.index && size == other.size && written == other.written &&
         changed == other.changed;
}

#ifdef _WIN32
std::optional<FileIdentity> identityOf(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  FILE_BASIC_INFO basic{};
  const bool read = GetFileInformationByHandle(file, &information) != 0 &&
                    GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != 0;
  CloseHandle(file);
  if (!read) return std::nullopt;
  FileIdentity identity;
  identity.device = information.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  identity.size = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  identity.written = ticks(information.ftLastWriteTime);
  identity.changed = basic.ChangeTime.QuadPart;
  return identity;
}
#else
std::optional<FileIdentity> identityOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  FileIdentity identity;
  identity.device = static_cast<std::uint64_t>(status.st_dev);
  identity.index = static_cast<std::uint64_t>(status.st_ino);
  identity.size = static_cast<std::uint64_t>(status.st_size);
  identity.written = ticks(status.st_mtim);
  identity.changed = ticks(status.st_ctim);
  return identity;
}
#endif

bool settled(const FileIdentity& identity) {
  return now() - std::max(identity.written, identity.changed) >= kSettleTicks;
}

}  // namespace qrv::cim
