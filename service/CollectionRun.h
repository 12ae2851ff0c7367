#pragma once
// The collection run: the whole work of one service start.

namespace rulo {

// What a run did with the collector's output; the values are the console
// run's exit codes.
enum class RunOutcome {
  Published = 0,        // the collector succeeded and its output is the data file
  PublishedPartly = 1,  // published after the collector reported a partial failure
  NotPublished = 2,     // failed or stopped: the data file is unchanged
};

// Reads the configuration, launches the inventory collector (again after
// every "another copy running"), publishes its output and writes every
// outcome to the event log. Nothing escapes from it.
RunOutcome CollectInventory();

// The service's run: reports the service running, collects, and reports it
// stopped.
void RunInventoryCollection();

// One collection from the console, exactly as the service collects, with
// every event written to standard output as well; the outcome is the exit code.
int RunCollectionFromConsole();

}  // namespace rulo
