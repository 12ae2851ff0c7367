#pragma once
// Fault injection for the collection run, on whichever platform it runs:
// every platform call of a successful run made to fail once, and from that
// call on. Whatever fails, the previous data file survives unaltered, the
// run's temporary files do not accumulate, the failure is reported once and
// the service reports that it stopped; a clean run afterwards publishes.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "service/platform/Platform.h"
#include "tests/service/PlatformOp.h"

namespace rulo::test {

// The data file before the faulty run, the collector's output in that run,
// and its output in the clean run after it.
inline const std::string kPrevious = "<previous/>";
inline const std::string kNew = "<new/>";
inline const std::string kNext = "<next/>";

// One injected fault: the nth call of op fails, once or from then on.
struct Fault {
  Op op;
  int nth;
  bool persistent;

  std::string name() const;
  // Whether the call that is the seen-th of op fails.
  bool hits(Op called, int seen) const { return called == op && (persistent ? seen >= nth : seen == nth); }
};

// What a fault gives where it is not exactly one error event and a stopped
// report at the end.
struct Expected {
  int errorEvents = 1;
  bool stoppedReported = true;
};

Expected ExpectedFor(const Fault& fault);

// What a run left, as read from the platform it ran on.
struct RunLeft {
  std::optional<std::string> dataFile;      // the data file's content
  std::vector<std::string> besideDataFile;  // the content of every other file in its folder
  std::size_t uniqueFilesInDataDir = 0;
  std::size_t uniqueFilesInCollectorDir = 0;
  int errorEvents = 0;
  std::optional<DWORD> lastState;  // the last service state reported
  int openHandles = 0;
};

// Makes collection runs on one platform and reads back what they left.
class FaultRig {
 public:
  virtual ~FaultRig() = default;
  // A fresh run over a data file holding kPrevious, the collector giving
  // kNew, with fault injected.
  virtual RunLeft runWith(const Fault& fault) = 0;
  // A run on the same platform after it, without faults, the collector
  // giving kNext.
  virtual RunLeft runClean() = 0;
};

// What the faulty run may do and must not.
void CheckFaultyRun(const RunLeft& left, const Expected& expected);
// A clean run after a faulty one publishes and leaves what any successful
// run leaves.
void CheckCleanRunAfter(const RunLeft& faulty, const RunLeft& clean);

struct FaultCounts {
  std::size_t operations = 0;
  int runs = 0;
  int survived = 0;
};

// Fails every call of operations (the calls of a clean run, in order) once
// and from then on, each in a run of its own followed by a clean run, and
// checks both; a fault is survived when no check of its two runs failed.
FaultCounts InjectEveryFault(FaultRig& rig, const std::vector<Op>& operations);

// Prints "label: N operations, R runs, S faults survived" and records the
// counts as properties of the test.
void ReportFaultCounts(const std::string& label, const FaultCounts& counts);

}  // namespace rulo::test
