#pragma once

#include <string>
#include <vector>

#include "provider/request/model/KeyValues.h"
#include "provider/request/model/ParsedInstance.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// The front end's gateway into request processing: remembers the namespace
// the provider was initialised for and turns every get and enumeration into
// one request object, whose status it returns unchanged.
//
// The XML libraries and the class cache are process-wide and shared by all
// dispatchers alive at once: the first initialize() starts them, and only the
// last initialised dispatcher to be destroyed releases the cache and stops
// the libraries, so destroying one dispatcher never pulls them from under
// another.
class QVDispatch {
 public:
  QVDispatch() = default;
  virtual ~QVDispatch();
  QVDispatch(const QVDispatch&) = delete;
  QVDispatch& operator=(const QVDispatch&) = delete;

  // Keeps the namespace and starts the XML libraries and the class cache.
  // Always 0; exceptions from the libraries pass to the caller.
  int initialize(const std::string& nameSpace);

  // Fills `parsedInstance` with the instance of `className` named by the key values.
  RequestStatus getInstance(const std::string& className, const KeyValues& keyValues,
                            ParsedInstance& parsedInstance, const std::string& userName);

  // Appends one element per instance of `className` to `instances`.
  RequestStatus enumerate(const std::string& className, std::vector<ParsedInstance>& instances,
                          const std::string& userName);

 private:
  std::string nameSpace_;
  // Whether initialize() started the shared state, which the destructor then stops.
  bool started_ = false;
};

}  // namespace qrv::cim
