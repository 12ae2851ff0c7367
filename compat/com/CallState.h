#pragma once
// Runtime-internal: the calling thread's client call.

#include "compat/com/CallContext.h"

namespace compat {

struct CallState {
  bool inCall = false;
  bool impersonating = false;
  ClientCall call;
};

CallState& threadCallState();

}  // namespace compat
