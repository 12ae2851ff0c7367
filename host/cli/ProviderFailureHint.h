#pragma once
// The line that follows a failure the provider answered with a code that
// stands for many causes. WBEM_E_ACCESS_DENIED covers a missing data file, a
// class without a registration and a registration under a wrong file name as
// much as a caller without the rights; WBEM_E_PROVIDER_NOT_CAPABLE covers a
// registration without the operation, a stylesheet that fails and a missing
// key. Only the provider's diagnostic lines tell them apart.

#include <string>

#include "common/com/WmiSdk.h"

namespace wmihost {

// Where to find the provider's reason and how to check the deployment; empty
// for any other code. With --verbose on, the provider's lines are already
// shown.
std::string providerFailureHint(HRESULT result, bool verbose);

}  // namespace wmihost
