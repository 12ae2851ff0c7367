#include "service/platform/posix/Systemctl.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "service/platform/posix/ChildProcess.h"
#include "service/platform/posix/Fd.h"

namespace rulo::posix {

namespace {

constexpr DWORD kInfinite = 0xFFFFFFFF;

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

SystemctlResult systemctl(const std::vector<std::string>& arguments) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return {};
  Fd readEnd(ends[0]);
  Fd writeEnd(ends[1]);
  // Its few messages wait in a file of their own until its output is read,
  // so that neither stream can block it while the other is drained.
  const Fd errors(::memfd_create("systemctl-errors", MFD_CLOEXEC));
  if (!errors) return {};

  Command command;
  command.program = "systemctl";
  command.arguments = {"systemctl"};
  command.arguments.insert(command.arguments.end(), arguments.begin(), arguments.end());
  command.searchPath = true;
  command.outputFd = writeEnd.get();
  command.errorFd = errors.get();
  const auto child = ChildProcess::start(command);
  if (!child) return {};
  writeEnd = Fd();

  SystemctlResult result;
  result.output = readAll(readEnd.get());
  child->wait(kInfinite);
  result.exitCode = static_cast<int>(child->exitCode());
  ::lseek(errors.get(), 0, SEEK_SET);
  result.errors = readAll(errors.get());
  return result;
}

}  // namespace rulo::posix
