#include "host/cim/ComputerName.h"

#include <algorithm>

#include <unistd.h>

#include "common/text/AsciiCase.h"

namespace wmihost {

namespace {

constexpr std::size_t kNetBiosNameLength = 15;

std::string lookUpComputerName() {
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
  const std::string hostName(buffer);
  return qrv::text::toUpperAscii(hostName.substr(0, std::min(hostName.find('.'), kNetBiosNameLength)));
}

}  // namespace

const std::string& computerName() {
  static const std::string name = lookUpComputerName();
  return name;
}

}  // namespace wmihost
