#pragma once
// The collection run: the whole work of one service start.

namespace rulo {

// Reports the service running, launches the inventory collector (again after
// every "another copy running"), publishes its output, writes every outcome
// to the event log and reports the service stopped. Nothing escapes from it.
void RunInventoryCollection();

}  // namespace rulo
