#include "service/DebugTrace.h"

#include "service/platform/Platform.h"

namespace rulo {

void WriteDebugTrace(const std::string& text) {
  Platform& platform = currentPlatform();
  platform.debugOutput(text);
  platform.appendTraceLine(text);  // a trace file that cannot be opened is skipped
}

}  // namespace rulo
