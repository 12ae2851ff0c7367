#include "service/platform/posix/ServiceDispatcher.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "service/platform/posix/Fd.h"
#include "service/platform/posix/LastError.h"

namespace rulo::posix {

namespace {

// Blocks a set of signals in the calling thread (and the threads it starts)
// for its lifetime.
class BlockedSignals {
 public:
  explicit BlockedSignals(const sigset_t& signals) { pthread_sigmask(SIG_BLOCK, &signals, &previous_); }
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;
  ~BlockedSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

void takeSignal(int fd) {
  signalfd_siginfo info;
  while (::read(fd, &info, sizeof info) < 0 && errno == EINTR) {
  }
}

}  // namespace

bool runServiceDispatcher(const std::string& serviceName, ServiceMainFunction serviceMain,
                          const std::function<void()>& onStop) {
  const char* socket = std::getenv("NOTIFY_SOCKET");
  if (!socket || !*socket) return failWith(kErrorFailedServiceControllerConnect);

  sigset_t terminate;
  sigemptyset(&terminate);
  sigaddset(&terminate, SIGTERM);
  const BlockedSignals blocked(terminate);
  const Fd signals(::signalfd(-1, &terminate, SFD_CLOEXEC));
  const Fd finished(::eventfd(0, EFD_CLOEXEC));
  if (!signals || !finished) return failWithErrno();

  std::thread service([&] {
    std::string name = serviceName;
    char* argv[] = {name.data(), nullptr};
    serviceMain(1, argv);
    const std::uint64_t one = 1;
    while (::write(finished.get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
  });
  for (;;) {
    pollfd fds[] = {{finished.get(), POLLIN, 0}, {signals.get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[0].revents & POLLIN) break;
    if (fds[1].revents & POLLIN) {
      takeSignal(signals.get());
      onStop();
    }
  }
  service.join();
  return true;
}

}  // namespace rulo::posix
