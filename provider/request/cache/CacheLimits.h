#pragma once
// Bounds on the memory that the requests of a process keep between them
// (see RequestCaches): what stays in use after the requests have finished.

#include <cstddef>

namespace qrv::cim {

struct CacheLimits {
  // 384 MiB of parsed trees and of the chunks they are built of: the trees
  // of about 50 MB of request documents, a repeated request over about
  // 500,000 package-sized entries.
  static constexpr std::size_t kDefaultDocumentBytes = std::size_t{384} << 20;
  // 128 MiB of request document buffers, and as much of result text
  // buffers: the texts of an enumeration of 300,000 entries.
  static constexpr std::size_t kDefaultTextBytes = std::size_t{128} << 20;

  std::size_t documentBytes = kDefaultDocumentBytes;
  std::size_t textBytes = kDefaultTextBytes;

  // The defaults, each replaced by a positive decimal number in the
  // environment variable KORVEX_CACHE_MAX_DOCUMENT_BYTES or
  // KORVEX_CACHE_MAX_TEXT_BYTES.
  static CacheLimits current();
};

}  // namespace qrv::cim
