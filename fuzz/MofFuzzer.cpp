// The host's MOF reader: any text loads or fails with a MofError naming a
// line, and a failed text leaves the repository as it was, its classes and
// its instances.

#include <cstdint>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/MofError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  wmihost::ClassRepository repository;
  repository.loadText("class Base { [key] string Id; };", "base.mof");
  try {
    repository.loadText(text, "fuzz.mof");
  } catch (const wmihost::MofError&) {
    const auto base = repository.find("root\\cimv2", "Base");
    QRV_FUZZ_CHECK(base && base->properties.size() == 1);
    QRV_FUZZ_CHECK(repository.instances("root\\cimv2", "__Win32Provider").empty());
  }
  return 0;
}
