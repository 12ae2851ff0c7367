// The host's WQL parser: any text parses as a statement or fails with a
// QueryError; and any text is a date of WQL's forms or none.

#include <cstdint>
#include <string_view>

#include "host/query/QueryError.h"
#include "host/query/WqlDate.h"
#include "host/query/WqlParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    wmihost::parseWqlStatement(text);
  } catch (const wmihost::QueryError&) {
  }
  wmihost::parseWqlDate(text);
  return 0;
}
