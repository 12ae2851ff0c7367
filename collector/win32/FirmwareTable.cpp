#include "collector/win32/FirmwareTable.h"

#include <windows.h>

#include "collector/win32/WideText.h"

namespace collector {

namespace {

// The provider signature 'RSMB', its four letters from the most significant byte.
constexpr DWORD kRawSmbios = DWORD{'R'} << 24 | DWORD{'S'} << 16 | DWORD{'M'} << 8 | DWORD{'B'};

}  // namespace

FirmwareSmbios readFirmwareSmbios() {
  FirmwareSmbios smbios;
  const UINT size = GetSystemFirmwareTable(kRawSmbios, 0, nullptr, 0);
  std::string data(size, '\0');
  const UINT read = size ? GetSystemFirmwareTable(kRawSmbios, 0, data.data(), size) : 0;
  if (read == 0 || read > size) {
    smbios.failure = "GetSystemFirmwareTable(RSMB): " + errorText(GetLastError());
    return smbios;
  }
  data.resize(read);
  smbios.table = SmbiosTable::fromRawSmbiosData(data);
  if (smbios.table->truncated()) smbios.failure = "the SMBIOS table ends inside a structure";
  return smbios;
}

}  // namespace collector
