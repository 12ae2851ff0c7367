#include "provider/request/xslt/TransformLimits.h"

#include "provider/request/text/EnvironmentNumber.h"

namespace qrv::cim {

TransformLimits TransformLimits::current() {
  return {numberFromEnvironment("KORVEX_TRANSFORM_MAX_MILLISECONDS", kDefaultMaxMilliseconds),
          numberFromEnvironment("KORVEX_TRANSFORM_MAX_DEPTH", kDefaultMaxDepth),
          numberFromEnvironment("KORVEX_TRANSFORM_MAX_MEMORY_BYTES", kDefaultMaxMemoryBytes),
          numberFromEnvironment("KORVEX_TRANSFORM_MAX_OUTPUT_BYTES", kDefaultMaxOutputBytes)};
}

}  // namespace qrv::cim
