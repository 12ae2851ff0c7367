#pragma once
// Bounds on a data file before it becomes part of a request document: its
// size, read into memory whole, and the depth of its element nesting, which
// the XML parser handles in time that grows with the square of the depth.
// A file beyond either fails the request instead of exhausting the host.

#include <cstddef>
#include <string_view>

namespace qrv::cim {

struct DataFileLimits {
  // 256 MiB: several times the largest inventory, well below what the
  // transform's source tree of such a file needs.
  static constexpr std::size_t kDefaultMaxBytes = std::size_t{256} << 20;
  // Inventory data nests a few dozen levels deep.
  static constexpr std::size_t kDefaultMaxDepth = 1000;

  std::size_t maxBytes = kDefaultMaxBytes;
  std::size_t maxDepth = kDefaultMaxDepth;

  // The defaults, each replaced by a positive decimal number in the
  // environment variable KORVEX_DATA_FILE_MAX_BYTES or KORVEX_DATA_FILE_MAX_DEPTH.
  static DataFileLimits current();
};

// Whether the elements of XML text nest deeper than maxDepth. Comments,
// CDATA sections, processing instructions and declarations are skipped, and
// quoted attribute values may hold '>'; one pass over the text.
bool nestsDeeperThan(std::string_view xml, std::size_t maxDepth);

}  // namespace qrv::cim
