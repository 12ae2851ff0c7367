#include "provider/registration/Diagnostic.h"

#include "common/com/WmiSdk.h"

namespace qrv::cim {

bool diagnosticsWanted() {
#ifdef _WIN32
  return true;
#else
  return IsDebuggerPresent() != FALSE;
#endif
}

void writeDiagnostic(const std::string& line) {
  const std::string text = "wexi: " + line + "\n";
  OutputDebugStringA(text.c_str());
}

}  // namespace qrv::cim
