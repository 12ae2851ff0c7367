#include "service/platform/posix/TraceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "service/platform/posix/RegularFile.h"

namespace rulo::posix {

std::string traceDirectory() {
  const char* directory = std::getenv("RULOSRV_TRACE_DIR");
  return directory && *directory ? directory : "/var/log/rulosrv";
}

std::string traceFilePath() { return traceDirectory() + "/InvLog.txt"; }

bool appendTraceLine(const std::string& text) {
  const Fd fd = openRegularFile(traceFilePath(), O_WRONLY | O_APPEND | O_CREAT, OtherNames::Refused, 0644);
  if (!fd) return false;
  const std::string line = text + "\n";
  return ::write(fd.get(), line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

}  // namespace rulo::posix
