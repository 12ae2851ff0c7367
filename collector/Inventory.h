#pragma once
// One collection: every source asked in turn, each failing alone. The
// document holds the element of each source that answered; the log holds a
// line for each source that failed and for each gap a source reported
// without failing.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "collector/XmlElement.h"

namespace collector {

// Raised by a source that gives nothing usable; the text says what failed.
class SourceFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The lines a source adds to the log for what it could not read and did without.
using Notes = std::vector<std::string>;

struct Source {
  std::string name;
  std::function<XmlElement(Notes&)> collect;
};

// The exit statuses: every source answered, some failed, nothing collected
// (also for wrong arguments and an output that cannot be written).
enum ExitStatus : int { kAllAnswered = 0, kSomeFailed = 1, kNothingCollected = 2 };

struct Inventory {
  XmlElement document{"Inventory"};
  std::vector<std::string> logLines;
  std::size_t failed = 0;
  ExitStatus status = kNothingCollected;
};

Inventory collectInventory(const std::vector<Source>& sources, std::int64_t collectedAt);

// The log file's text: each line stamped with the UTC time (2026-12-08T18:33:41Z).
std::string logText(const std::vector<std::string>& lines, std::int64_t epochSeconds);

}  // namespace collector
