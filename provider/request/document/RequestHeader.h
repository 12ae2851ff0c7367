#pragma once

#include <string>

namespace qrv::cim {

// The stylesheet instruction and the QRVCIM start tag naming the operation
// ("enumerate" or "get"), the class, the namespace, this host and the user.
std::string writeRequestHeader(const std::string& operation, const std::string& className,
                               const std::string& nameSpace, const std::string& userName);

}  // namespace qrv::cim
