// The host's WQL parser: any text parses or fails with a QueryError.

#include <cstdint>
#include <string_view>

#include "host/query/QueryError.h"
#include "host/query/WqlParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    wmihost::parseWql(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const wmihost::QueryError&) {
  }
  return 0;
}
