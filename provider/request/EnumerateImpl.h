#pragma once

#include <string>
#include <vector>

#include "provider/request/RequestBase.h"
#include "provider/request/model/ParsedInstance.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// Answers one enumeration: every instance of a class.
class EnumerateImpl : public RequestBase {
 public:
  explicit EnumerateImpl(const std::string& userName) : RequestBase(userName) {}

  // Appends one element per instance to `instances`, only when the status is Ok.
  RequestStatus run(const std::string& nameSpace, const std::string& className,
                    std::vector<ParsedInstance>& instances);
};

}  // namespace qrv::cim
