#pragma once

#include <cstddef>
#include <string>

namespace qrv::cim {

// What a transform may read with document(): files below `root`, each of at
// most maxBytes bytes and with elements nested at most maxDepth deep (the
// bounds of a data file).
struct DocumentBounds {
  std::string root;
  std::size_t maxBytes;
  std::size_t maxDepth;
};

}  // namespace qrv::cim
