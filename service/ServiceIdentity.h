#pragma once
// The names under which the service is known to the service control manager
// and the event log.

namespace rulo {

constexpr const char* kServiceName = "rulosrv";  // also the event source name
constexpr const char* kDisplayName = "KSM CM Inventory Agent";

}  // namespace rulo
