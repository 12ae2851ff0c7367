#include "host/cli/ProviderFailureHint.h"

namespace wmihost {

std::string providerFailureHint(HRESULT result, bool verbose) {
  if (result != static_cast<HRESULT>(WBEM_E_ACCESS_DENIED) &&
      result != static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE)) {
    return "";
  }
  return std::string(verbose ? "the provider's lines above give its reason"
                             : "the provider gives its reason on its diagnostic channel, which --verbose shows") +
         "; wmihost check checks the deployment";
}

}  // namespace wmihost
