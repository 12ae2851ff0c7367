#include "host/cim/ComputerName.h"

#include "common/com/TextConversion.h"

namespace wmihost {

namespace {

std::string lookUpComputerName() {
  WCHAR buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(buffer, &length)) return {};
  return qrv::com::toUtf8(qrv::com::WideTextView(buffer, length));
}

}  // namespace

const std::string& computerName() {
  static const std::string name = lookUpComputerName();
  return name;
}

}  // namespace wmihost
