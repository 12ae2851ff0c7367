#pragma once
// A COM or WMI operation of wmihost that failed, with its HRESULT:
// "Initialize failed: 0x80041003 WBEM_E_ACCESS_DENIED", and what more the
// host knows of the cause (a position in a query, the files of the
// repository).

#include <stdexcept>
#include <string>
#include <utility>

#include "host/cli/HresultName.h"

namespace wmihost {

class OperationError : public std::runtime_error {
 public:
  OperationError(const std::string& operation, HRESULT code, std::string detail = {})
      : std::runtime_error(operation + " failed: " + hresultText(code)), code_(code), detail_(std::move(detail)) {}

  HRESULT code() const { return code_; }
  const std::string& detail() const { return detail_; }

 private:
  HRESULT code_;
  std::string detail_;
};

// The report on standard error: the failure, the code's meaning and the
// detail, each on a line of its own:
//   wmihost: enum Korvex_Nothing failed: 0x80041010 WBEM_E_INVALID_CLASS
//     the class does not exist in the namespace
//     Korvex_Nothing is no class of root\cimv2 in the repository (read: deploy/mof/korvex.mof)
inline std::string failureReport(const OperationError& error) {
  std::string report = std::string("wmihost: ") + error.what() + "\n  " + hresultMeaning(error.code()) + "\n";
  if (!error.detail().empty()) report += "  " + error.detail() + "\n";
  return report;
}

}  // namespace wmihost
