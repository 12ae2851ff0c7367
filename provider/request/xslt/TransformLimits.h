#pragma once
// Bounds on one transform. Xalan-C has no time limit of its own, and a
// stylesheet that recurses for ever keeps growing its stacks on the heap
// until the process runs out of memory; these bounds end such a transform
// and fail the request instead (see TransformBudget).

#include <cstddef>

namespace qrv::cim {

struct TransformLimits {
  // An inventory stylesheet takes about a second for 300,000 entries.
  static constexpr std::size_t kDefaultMaxMilliseconds = 60000;
  // Entries on the stack of templates being applied, their parameters and
  // variables: one or more per nested call, and inventory stylesheets nest
  // a few dozen deep.
  static constexpr std::size_t kDefaultMaxDepth = 100000;
  // 512 MiB of memory held by the transform beside the source tree, and as
  // much output: twice the largest data file each.
  static constexpr std::size_t kDefaultMaxMemoryBytes = std::size_t{512} << 20;
  static constexpr std::size_t kDefaultMaxOutputBytes = std::size_t{512} << 20;

  std::size_t maxMilliseconds = kDefaultMaxMilliseconds;
  std::size_t maxDepth = kDefaultMaxDepth;
  std::size_t maxMemoryBytes = kDefaultMaxMemoryBytes;
  std::size_t maxOutputBytes = kDefaultMaxOutputBytes;

  // The defaults, each replaced by a positive decimal number in the
  // environment variable KORVEX_TRANSFORM_MAX_MILLISECONDS,
  // KORVEX_TRANSFORM_MAX_DEPTH, KORVEX_TRANSFORM_MAX_MEMORY_BYTES or
  // KORVEX_TRANSFORM_MAX_OUTPUT_BYTES.
  static TransformLimits current();
};

}  // namespace qrv::cim
