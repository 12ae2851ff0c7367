#include "collector/win32/MemorySource.h"

#include <windows.h>

#include "collector/SmbiosDecoding.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

// The physical memory Windows can use, as Linux's MemTotal counts it; the
// modules that are installed are the arrays' business.
std::uint64_t totalBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) throw SourceFailure("GlobalMemoryStatusEx: " + errorText(GetLastError()));
  return status.ullTotalPhys;
}

}  // namespace

XmlElement memoryElement(const FirmwareSmbios& smbios, Notes& notes) {
  XmlElement memory("Memory");
  memory.set("source", std::string("smbios")).set("totalBytes", totalBytes());
  if (!smbios.table) {
    notes.push_back("no arrays or modules: " + smbios.failure);
    return memory;
  }
  for (XmlElement& array : memoryArrayElements(*smbios.table)) memory.add(std::move(array));
  if (memory.children().empty()) notes.push_back("the SMBIOS table lists no memory array");
  return memory;
}

}  // namespace collector
