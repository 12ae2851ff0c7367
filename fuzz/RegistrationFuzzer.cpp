// Registration files: any bytes read as a registration end in a status and a
// cache that stays usable.

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include <xercesc/util/PlatformUtils.hpp>

#include "provider/registration/ClassCache.h"
#include "provider/registration/ClassLoader.h"

namespace {

std::string inputPath() { return "/tmp/qrv-registration-fuzz-" + std::to_string(::getpid()) + ".xml"; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  xercesc::XMLPlatformUtils::Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = inputPath();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  qrv::cim::ClassCache::initializeLock();
  qrv::cim::parseRegistrationFile(path);
  qrv::cim::ClassCache::instance()->find("root\\cimv2", "Fan");
  qrv::cim::ClassCache::release();
  return 0;
}
