#pragma once
// The registry kept in one .reg file. Readers read the file as it is; writers
// take an exclusive flock on "<file>.lock" beside it, read, change, write a
// temporary file in the same directory and rename it over the file, so a
// reader sees either the old or the new file, never a half-written one, and
// no change of one writer is lost to another. Readers need no lock, so they
// also work where they may not create the lock file.
//
// Where the path is a symbolic link, "the file" is the one the link (or its
// chain of links) finally points at: it is the file replaced and locked, and
// the links stay. A replaced file keeps its owner, group and permissions and
// every line that the change did not concern (see RegDocument).

#include <functional>
#include <string>

#include "compat/registry/Registry.h"

namespace qrv::regfile {

class RegistryFile {
 public:
  // The file named by the environment variable KORVEX_REGISTRY_FILE, else
  // /etc/korvex/registry.reg.
  static std::string defaultPath();

  explicit RegistryFile(std::string path = defaultPath());

  const std::string& path() const { return path_; }

  // The registry in the file; a missing file reads as an empty registry.
  // Throws RegistryError for a malformed file, std::system_error when it
  // cannot be read.
  Registry read() const;

  // Applies change to the current registry under the writers' lock and
  // replaces the file when change returns true (creating its directory when
  // missing). Returns what change returned. Throws like read, and
  // std::system_error when the file cannot be written or cannot be given the
  // owner of the file it replaces.
  bool update(const std::function<bool(Registry&)>& change) const;

 private:
  std::string path_;
};

}  // namespace qrv::regfile
