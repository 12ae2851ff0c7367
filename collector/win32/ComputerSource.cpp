#include "collector/win32/ComputerSource.h"

#include <windows.h>

#include "collector/CimDateTime.h"
#include "collector/SmbiosDecoding.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

constexpr std::int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr std::int64_t kFileTimeEpochSeconds = 11644473600;  // 1601-01-01 to 1970-01-01

std::int64_t fileTimeSeconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<std::int64_t>(value.QuadPart / kFileTimeUnitsPerSecond);
}

// Minutes that local time lies ahead of UTC at the given moment (its own daylight saving).
int localOffsetMinutes(std::int64_t epochSeconds) {
  ULARGE_INTEGER value;
  value.QuadPart = static_cast<ULONGLONG>((epochSeconds + kFileTimeEpochSeconds) * kFileTimeUnitsPerSecond);
  const FILETIME utc{value.LowPart, value.HighPart};
  SYSTEMTIME utcTime;
  SYSTEMTIME localTime;
  FILETIME local;
  if (!FileTimeToSystemTime(&utc, &utcTime) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime) ||
      !SystemTimeToFileTime(&localTime, &local)) {
    return 0;
  }
  return static_cast<int>((fileTimeSeconds(local) - fileTimeSeconds(utc)) / 60);
}

std::string hostName() {
  DWORD size = 0;
  GetComputerNameExW(ComputerNameDnsHostname, nullptr, &size);
  std::wstring name(size, L'\0');
  if (size == 0 || !GetComputerNameExW(ComputerNameDnsHostname, name.data(), &size)) {
    throw SourceFailure("GetComputerNameExW: " + errorText(GetLastError()));
  }
  name.resize(size);
  return utf8(name);
}

}  // namespace

XmlElement systemElement(std::int64_t now) {
  const auto uptime = static_cast<std::int64_t>(GetTickCount64() / 1000);
  const std::int64_t boot = now - uptime;
  XmlElement system("System");
  system.set("source", std::string("win32"))
      .set("host", hostName())
      .set("uptimeSeconds", std::to_string(uptime))
      .set("bootTime", cimDateTime(boot, localOffsetMinutes(boot)));
  return system;
}

std::uint64_t nativeWidthBits() {
  SYSTEM_INFO info;
  GetNativeSystemInfo(&info);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
    case PROCESSOR_ARCHITECTURE_ARM64:
    case PROCESSOR_ARCHITECTURE_IA64:
      return 64;
    default:
      return 32;
  }
}

XmlElement computerElement(const FirmwareSmbios& smbios, Notes& notes) {
  if (!smbios.table) throw SourceFailure(smbios.failure);
  if (!smbios.failure.empty()) notes.push_back(smbios.failure);
  XmlElement computer = computerElement(*smbios.table);
  computer.set("widthBits", nativeWidthBits());
  return computer;
}

}  // namespace collector
