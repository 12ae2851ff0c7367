#include "provider/request/text/EnvironmentNumber.h"

#include <cstdlib>

namespace qrv::cim {

std::size_t numberFromEnvironment(const char* name, std::size_t fallback) {
  const char* text = std::getenv(name);
  if (!text || *text < '0' || *text > '9') return fallback;
  char* end = nullptr;
  const unsigned long long number = std::strtoull(text, &end, 10);
  return *end == '\0' && number > 0 ? static_cast<std::size_t>(number) : fallback;
}

}  // namespace qrv::cim
