#pragma once
// For tests of calls that must not wait on a FIFO: after two seconds, unless
// it goes first, opens the FIFO at both ends for a moment, so that a call
// waiting on it returns (and fails its test) instead of hanging the test
// program. SIGPIPE is ignored, so that a write into the FIFO after that
// moment fails instead of ending the program.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace rulo::test {

class FifoRelease {
 public:
  explicit FifoRelease(const std::string& path) {
    ::signal(SIGPIPE, SIG_IGN);
    thread_ = std::thread([path, gone = gone_.get_future()] {
      if (gone.wait_for(std::chrono::seconds(2)) == std::future_status::ready) return;
      const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      if (fd >= 0) ::close(fd);
    });
  }
  ~FifoRelease() {
    gone_.set_value();
    thread_.join();
  }
  FifoRelease(const FifoRelease&) = delete;
  FifoRelease& operator=(const FifoRelease&) = delete;

 private:
  std::promise<void> gone_;
  std::thread thread_;
};

}  // namespace rulo::test
