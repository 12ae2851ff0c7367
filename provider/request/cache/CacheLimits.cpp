#include "provider/request/cache/CacheLimits.h"

#include "provider/request/text/EnvironmentNumber.h"

namespace qrv::cim {

CacheLimits CacheLimits::current() {
  return {numberFromEnvironment("KORVEX_CACHE_MAX_DOCUMENT_BYTES", kDefaultDocumentBytes),
          numberFromEnvironment("KORVEX_CACHE_MAX_TEXT_BYTES", kDefaultTextBytes)};
}

}  // namespace qrv::cim
