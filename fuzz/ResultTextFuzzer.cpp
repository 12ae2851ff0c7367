// Result text: any stylesheet output reads into instances without a fault,
// every instance of an enumeration reads the same alone, and no text in a
// quoted value (without a double quote of its own) can end the value, add
// a property or start an instance.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "provider/request/result/ResultParser.h"

using qrv::cim::ParsedInstance;
using qrv::cim::parseResultInstance;
using qrv::cim::parseResultInstances;

namespace {

// The input as the quoted value of one property between two others.
void checkQuotedValueIsData(std::string_view text) {
  std::string value(text);
  value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
  const std::string result = "instance of X\n{\nA = \"a\";\nV = \"" + value + "\";\nB = \"b\";\n};\n";
  std::vector<ParsedInstance> instances;
  parseResultInstances(result, instances);
  QRV_FUZZ_CHECK(instances.size() == 1);
  QRV_FUZZ_CHECK(instances[0] == (ParsedInstance{{"A", "a"}, {"V", value}, {"B", "b"}}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ParsedInstance> instances;
  parseResultInstances(text, instances);
  ParsedInstance single;
  parseResultInstance(text, single);
  if (instances.size() == 1 && text.find("instance of") == std::string_view::npos) {
    QRV_FUZZ_CHECK(instances[0] == single);
  }
  checkQuotedValueIsData(text);
  return 0;
}
