#include "host/cim/ComputerName.h"

#include <algorithm>

#include "common/text/AsciiCase.h"
#include "host/cim/MachineName.h"

namespace wmihost {

namespace {

constexpr std::size_t kNetBiosNameLength = 15;

std::string lookUpComputerName() {
  const std::string hostName = machineName();
  return qrv::text::toUpperAscii(hostName.substr(0, std::min(hostName.find('.'), kNetBiosNameLength)));
}

}  // namespace

const std::string& computerName() {
  static const std::string name = lookUpComputerName();
  return name;
}

}  // namespace wmihost
