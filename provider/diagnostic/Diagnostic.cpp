#include "provider/diagnostic/Diagnostic.h"

#include "common/com/WmiSdk.h"

namespace qrv::cim {

bool diagnosticsWanted() {
#ifdef _WIN32
  return true;
#else
  return IsDebuggerPresent() != FALSE;
#endif
}

std::string singleLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

void writeDiagnostic(const std::string& line) { OutputDebugStringA((singleLine("wexi: " + line) + "\n").c_str()); }

}  // namespace qrv::cim
