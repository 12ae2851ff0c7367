#pragma once

#include <string>

namespace qrv::cim {

// The provider's diagnostic lines: why a request failed, and every instance
// or value it dropped. They go to the debugger's output channel as
// "wexi: <what>", the convention for in-process providers; on Windows a
// debugger or DebugView shows them, here the hosting program's listener.

// Whether a line would reach anyone. On Windows a monitor may read the
// channel without the process knowing, so this is always true there; the
// lines come only from failures.
bool diagnosticsWanted();

// Writes "wexi: <line>" to the channel as one line (singleLine).
void writeDiagnostic(const std::string& line);

// The text with its line breaks turned into blanks and no blanks at its
// end: the XML libraries' messages span several lines.
std::string singleLine(std::string text);

// Writes the line that `compose` returns, composing it only when someone
// listens: diagnose([&] { return "the data file " + path + " ..."; });
template <class Compose>
void diagnose(Compose compose) {
  if (diagnosticsWanted()) writeDiagnostic(compose());
}

}  // namespace qrv::cim
