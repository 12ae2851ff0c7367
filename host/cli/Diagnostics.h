#pragma once
// The diagnostic lines of --verbose, on standard error: what the host reads,
// loads and times, each line "wmihost: [host] ...", and what the provider
// reports, "wmihost: [provider] wexi: ...". Off, a note costs the test of
// one flag.

#include <ostream>
#include <string>

namespace wmihost {

class Diagnostics {
 public:
  Diagnostics(bool enabled, std::ostream& out) : enabled_(enabled), out_(out) {}

  bool enabled() const { return enabled_; }
  void note(const std::string& line) const {
    if (enabled_) out_ << "wmihost: [host] " << line << std::endl;
  }
  void fromProvider(const std::string& line) const {
    if (enabled_) out_ << "wmihost: [provider] " << line << std::endl;
  }

 private:
  bool enabled_;
  std::ostream& out_;
};

}  // namespace wmihost
