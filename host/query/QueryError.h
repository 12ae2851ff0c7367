#pragma once
// A WQL query that cannot be run: malformed, or naming what its class does
// not have.

#include "host/cim/SyntaxError.h"

namespace wmihost {

class QueryError : public SyntaxError {
 public:
  using SyntaxError::SyntaxError;
};

}  // namespace wmihost
