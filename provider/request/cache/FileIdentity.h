#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qrv::cim {

// What tells one state of a file from another without reading it: the file
// itself (device and index, so a replaced file differs), its size, its last
// write and its last change of any kind. The change time cannot be set back
// by writers, so an edit that keeps the size and restores the write time
// still shows.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  std::int64_t written = 0;  // in the system's own time units
  std::int64_t changed = 0;

  bool operator==(const FileIdentity& other) const;
  bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The identity of the file at path; empty when it cannot be read.
std::optional<FileIdentity> identityOf(const std::string& path);

// Whether the file's last change lies far enough back that any later change
// must give it other times. File times tick coarsely (a few milliseconds on
// Linux, more on some file systems), so a file written moments ago may be
// written again within the same tick without its identity changing; what is
// kept for reuse has to be older than that.
bool settled(const FileIdentity& identity);

}  // namespace qrv::cim
