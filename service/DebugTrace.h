#pragma once
// A small trace of the collection run: to the debugger and, when the trace
// file can be opened, appended to it as one line.

#include <string>

namespace rulo {

void WriteDebugTrace(const std::string& text);

}  // namespace rulo
