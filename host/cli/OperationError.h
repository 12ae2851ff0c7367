#pragma once
// A COM or WMI operation of wmihost that failed, with its HRESULT:
// "Initialize failed: 0x80041003 WBEM_E_ACCESS_DENIED".

#include <stdexcept>
#include <string>

#include "host/cli/HresultName.h"

namespace wmihost {

class OperationError : public std::runtime_error {
 public:
  OperationError(const std::string& operation, HRESULT code)
      : std::runtime_error(operation + " failed: " + hresultText(code)), code_(code) {}

  HRESULT code() const { return code_; }

 private:
  HRESULT code_;
};

}  // namespace wmihost
