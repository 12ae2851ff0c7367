#include "provider/request/document/SharedFile.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace qrv::cim {

SharedFile openSharedRead(const std::string& path) {
#ifdef _WIN32
  return SharedFile(_fsopen(path.c_str(), "rb", _SH_DENYWR));
#else
  return SharedFile(std::fopen(path.c_str(), "rb"));
#endif
}

}  // namespace qrv::cim
