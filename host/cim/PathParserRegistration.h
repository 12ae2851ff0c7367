#pragma once
// WMI's object-path parser class (CLSID_WbemDefPath), as the stand-in offers
// it: a class object registered for the registration's lifetime, so that a
// provider's CoGetClassObject for it succeeds. The stand-in has no path
// parser: the class object creates plain IUnknown objects only and answers
// E_NOINTERFACE for any other interface.

#include "common/com/WmiSdk.h"

namespace wmihost {

class PathParserRegistration {
 public:
  // Throws std::runtime_error when the class object cannot be registered.
  PathParserRegistration();
  ~PathParserRegistration();
  PathParserRegistration(const PathParserRegistration&) = delete;
  PathParserRegistration& operator=(const PathParserRegistration&) = delete;

 private:
  DWORD cookie_ = 0;
};

}  // namespace wmihost
