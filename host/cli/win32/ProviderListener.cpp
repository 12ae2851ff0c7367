// On Windows the provider's lines go to the system's debug output, where a
// debugger or a debug monitor reads them; the host does not read that
// channel itself, so its listener receives nothing.

#include "host/cli/ProviderListener.h"

#include <utility>

namespace wmihost {

ProviderListener::ProviderListener(Receiver receiver) : receiver_(std::move(receiver)) {}

ProviderListener::~ProviderListener() = default;

void ProviderListener::receive(const char*, void*) {}

}  // namespace wmihost
