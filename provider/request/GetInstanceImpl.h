#pragma once

#include <string>

#include "provider/request/RequestBase.h"
#include "provider/request/model/KeyValues.h"
#include "provider/request/model/ParsedInstance.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// Answers one get: the instance of a class named by its key values.
class GetInstanceImpl : public RequestBase {
 public:
  explicit GetInstanceImpl(const std::string& userName) : RequestBase(userName) {}

  // Inserts into `instance` only when the status is Ok.
  RequestStatus run(const std::string& nameSpace, const std::string& className,
                    const KeyValues& keyValues, ParsedInstance& instance);
};

}  // namespace qrv::cim
