// Object paths as the provider reads them (which never fails) and as the
// host parses them (which fails only with its own error).

#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "host/cim/ObjectPathParser.h"
#include "provider/wmi/ObjectPathKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const qrv::cim::ObjectPathParts parts = qrv::cim::readObjectPath(path);
  QRV_FUZZ_CHECK(parts.server.size() + parts.nameSpace.size() + parts.className.size() <= path.size());
  QRV_FUZZ_CHECK(!parts.singleton || (parts.keys.empty() && !parts.unnamedValue));
  qrv::cim::keysFitTheRequestDocument(parts.keys);
  for (const auto& [name, value] : parts.keys) QRV_FUZZ_CHECK(name.size() + value.size() <= path.size());
  if (parts.unnamedValue) QRV_FUZZ_CHECK(parts.unnamedValue->size() <= path.size());
  try {
    const wmihost::ObjectPath parsed = wmihost::parseObjectPath(path);
    QRV_FUZZ_CHECK(!parsed.className.empty());
    QRV_FUZZ_CHECK(parsed.server.empty() || !parsed.nameSpace.empty());
    // Positions count from 1, as error messages give them.
    QRV_FUZZ_CHECK(parsed.singletonPosition <= path.size());
    for (const wmihost::ObjectPathKey& key : parsed.keys) {
      QRV_FUZZ_CHECK(key.position >= 1 && key.position <= path.size());
    }
  } catch (const wmihost::ObjectPathError&) {
  }
  return 0;
}
