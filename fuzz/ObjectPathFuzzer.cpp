// Object paths as the provider reads them (which never fails) and as the
// host parses them (which fails only with its own error).

#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "host/cim/ObjectPathParser.h"
#include "provider/wmi/ObjectPathKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string className = qrv::cim::objectPathClass(path);
  QRV_FUZZ_CHECK(className.size() <= path.size());
  const qrv::cim::KeyValues keys = qrv::cim::parseObjectPathKeys(path);
  qrv::cim::keysFitTheRequestDocument(keys);
  for (const auto& [name, value] : keys) QRV_FUZZ_CHECK(name.size() + value.size() <= path.size());
  try {
    const wmihost::ObjectPath parsed = wmihost::parseObjectPath(path);
    QRV_FUZZ_CHECK(!parsed.className.empty());
    // Positions count from 1, as error messages give them.
    for (const wmihost::ObjectPathKey& key : parsed.keys) {
      QRV_FUZZ_CHECK(key.position >= 1 && key.position <= path.size());
    }
  } catch (const wmihost::ObjectPathError&) {
  }
  return 0;
}
