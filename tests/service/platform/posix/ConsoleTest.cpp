// Whether the program runs at a console: standard input or standard error is
// a terminal. The test puts /dev/null or a pseudo-terminal in their place for
// a moment, as systemd and a person's shell would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "service/platform/posix/Fd.h"
#include "service/platform/posix/PosixPlatform.h"

namespace {

using rulo::posix::Fd;

// Puts a descriptor in place of a standard one and the original back at the end.
class StandardStreamSwap {
 public:
  StandardStreamSwap(int standardFd, int replacement) : standardFd_(standardFd), saved_(::dup(standardFd)) {
    ::dup2(replacement, standardFd);
  }
  StandardStreamSwap(const StandardStreamSwap&) = delete;
  StandardStreamSwap& operator=(const StandardStreamSwap&) = delete;
  ~StandardStreamSwap() { ::dup2(saved_.get(), standardFd_); }

 private:
  int standardFd_;
  Fd saved_;
};

// The terminal end of a new pseudo-terminal, with its controlling end.
struct PseudoTerminal {
  PseudoTerminal() : controller(::posix_openpt(O_RDWR | O_NOCTTY)) {
    if (controller.get() < 0 || ::grantpt(controller.get()) != 0 || ::unlockpt(controller.get()) != 0) return;
    terminal = Fd(::open(::ptsname(controller.get()), O_RDWR | O_NOCTTY));
  }
  Fd controller;
  Fd terminal;
};

TEST(PosixConsole, AConsoleIsATerminalOnStandardInputOrError) {
  const Fd null(::open("/dev/null", O_RDWR));
  PseudoTerminal pty;
  ASSERT_GE(pty.terminal.get(), 0) << "no pseudo-terminal";
  rulo::PosixPlatform platform;
  const StandardStreamSwap input(STDIN_FILENO, null.get());
  {
    const StandardStreamSwap error(STDERR_FILENO, null.get());
    EXPECT_FALSE(platform.isConsole());
    const StandardStreamSwap terminalInput(STDIN_FILENO, pty.terminal.get());
    EXPECT_TRUE(platform.isConsole());
  }
  const StandardStreamSwap error(STDERR_FILENO, pty.terminal.get());
  EXPECT_TRUE(platform.isConsole());
}

}  // namespace
