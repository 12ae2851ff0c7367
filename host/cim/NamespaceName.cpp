#include "host/cim/NamespaceName.h"

#include <algorithm>

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::toLowerAscii;

std::string canonicalNamespace(std::string_view name) {
  std::string canonical(name);
  std::replace(canonical.begin(), canonical.end(), '/', '\\');
  if (canonical.rfind("\\\\", 0) == 0) {
    const std::size_t serverEnd = canonical.find('\\', 2);
    canonical.erase(0, serverEnd == std::string::npos ? canonical.size() : serverEnd);
  }
  const std::size_t first = canonical.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  return canonical.substr(first, canonical.find_last_not_of('\\') - first + 1);
}

std::string namespaceKey(std::string_view name) { return toLowerAscii(canonicalNamespace(name)); }

}  // namespace wmihost
