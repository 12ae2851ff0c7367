// Result text: any stylesheet output reads into instances without a fault,
// and every instance of an enumeration reads the same alone.

#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "provider/request/RequestBase.h"

using qrv::cim::ParsedInstance;
using qrv::cim::RequestBase;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ParsedInstance> instances;
  RequestBase::parseInstances(text, instances);
  ParsedInstance single;
  RequestBase::parseInstance(text, single);
  if (instances.size() == 1 && text.find("instance of") == std::string_view::npos) {
    QRV_FUZZ_CHECK(instances[0] == single);
  }
  return 0;
}
