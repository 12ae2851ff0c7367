#pragma once
// No exception may leave a COM method: its caller is another module, often
// in another process, that knows nothing of C++ exceptions. Every method that
// can throw runs its body through guardCall, which turns an exception into
// the method's failure code.

#include <new>

#include "common/com/WmiSdk.h"

namespace qrv::com {

// The codes by which an interface reports an exception: running out of
// memory, and anything else.
struct FailureCodes {
  HRESULT outOfMemory;
  HRESULT otherFailure;
};

// COM's own codes, for the interfaces that are not WMI's.
inline constexpr FailureCodes kComFailures{E_OUTOFMEMORY, E_UNEXPECTED};

// Returns body's result. An exception that ends body gives codes.outOfMemory
// for std::bad_alloc and codes.otherFailure for anything else, and `report`
// hears of that code before it is returned. Body's locals are gone by then,
// so whatever they held (an impersonation, a lock) has been given back.
template <class Body, class Report>
HRESULT guardCall(const FailureCodes& codes, Body&& body, Report&& report) noexcept {
  HRESULT failure;
  try {
    return body();
  } catch (const std::bad_alloc&) {
    failure = codes.outOfMemory;
  } catch (...) {
    failure = codes.otherFailure;
  }
  report(failure);
  return failure;
}

template <class Body>
HRESULT guardCall(const FailureCodes& codes, Body&& body) noexcept {
  return guardCall(codes, body, [](HRESULT) {});
}

}  // namespace qrv::com
