#include "host/cli/ProviderListener.h"

#include <utility>

#include "common/com/WmiSdk.h"

namespace wmihost {

ProviderListener::ProviderListener(Receiver receiver) : receiver_(std::move(receiver)) {
  SetDebugOutputListener(&ProviderListener::receive, this);
}

ProviderListener::~ProviderListener() { SetDebugOutputListener(nullptr, nullptr); }

// Called by the provider inside its COM methods: nothing may escape.
void ProviderListener::receive(const char* text, void* context) {
  try {
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    static_cast<ProviderListener*>(context)->receiver_(line);
  } catch (...) {
  }
}

}  // namespace wmihost
