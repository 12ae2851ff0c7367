// The files that stylesheets reach: the input is a stylesheet root and a
// URL, separated by a zero byte (without one, the URL below a fixed root).
// A URL is either refused or reaches a path that is the root, a slash and
// plain names below it, which reaches itself again.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/xslt/FileUrl.h"
#include "provider/request/xslt/ReachableFile.h"

namespace {

// Whether every name of a relative path is one that climbs nowhere and
// ends nowhere early.
bool hasOnlyPlainNames(std::string_view names) {
  while (true) {
    const std::size_t slash = names.find('/');
    const std::string_view name = names.substr(0, slash);
    if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string_view("\\\0", 2)) != name.npos) {
      return false;
    }
    if (slash == names.npos) return true;
    names.remove_prefix(slash + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  const std::string root = zero == input.npos ? "/opt/korvex/xslroot" : std::string(input.substr(0, zero));
  const std::string url(zero == input.npos ? input : input.substr(zero + 1));

  const qrv::cim::FileReach reach = qrv::cim::reachFile(url, root);
  QRV_FUZZ_CHECK(reach.path.empty() != reach.refusal.empty());
  if (reach.path.empty()) return 0;
  const std::string prefix = qrv::cim::nativePath(root) + "/";
  QRV_FUZZ_CHECK(reach.path.compare(0, prefix.size(), prefix) == 0);
  QRV_FUZZ_CHECK(hasOnlyPlainNames(std::string_view(reach.path).substr(prefix.size())));
  QRV_FUZZ_CHECK(qrv::cim::reachFile(qrv::cim::fileUrl(reach.path), root).path == reach.path);
  return 0;
}
