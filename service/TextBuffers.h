#pragma once
// The fixed text buffers of the service. Texts are held in std::string, but
// every text that once lived in a fixed buffer keeps that buffer's limit:
// a path, argument string or command line that does not fit fails the run,
// an event text is cut to fit.

#include <cstddef>
#include <cstdint>
#include <string>

#include "service/platform/Platform.h"

namespace rulo {

constexpr std::size_t kPathBufferSize = 260;        // paths, argument strings, command lines, texts with paths
constexpr std::size_t kMessageBufferSize = 1024;    // event texts
constexpr std::size_t kReportBufferSize = 780;      // the collector's partial and fatal reports
constexpr std::size_t kErrorTextBufferSize = 4096;  // the error text of an error event

// Whether text fits a buffer of bufferSize characters together with its terminator.
inline bool FitsBuffer(const std::string& text, std::size_t bufferSize) { return text.size() < bufferSize; }

// text cut to what a buffer of bufferSize characters holds with its terminator.
inline std::string FitText(std::string text, std::size_t bufferSize) {
  if (!FitsBuffer(text, bufferSize)) text.resize(bufferSize - 1);
  return text;
}

// A 32-bit value as "%d" prints it: error codes such as 0xC0000005 come out negative.
inline std::string SignedText(DWORD value) { return std::to_string(static_cast<std::int32_t>(value)); }

}  // namespace rulo
