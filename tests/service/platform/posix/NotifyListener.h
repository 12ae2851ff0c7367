#pragma once
// A stand-in for systemd's notification socket: a datagram socket bound to a
// path, whose messages a test reads as NOTIFY_SOCKET's receiver would.

#include <map>
#include <optional>
#include <string>

namespace rulo::test {

class NotifyListener {
 public:
  explicit NotifyListener(std::string path);
  NotifyListener(const NotifyListener&) = delete;
  NotifyListener& operator=(const NotifyListener&) = delete;
  ~NotifyListener();

  const std::string& path() const { return path_; }
  // The next message, or nothing when none comes within timeoutMs.
  std::optional<std::string> receive(int timeoutMs);

 private:
  std::string path_;
  int fd_;
};

// The NAME=value lines of a notification.
std::map<std::string, std::string> notifyFields(const std::string& message);

}  // namespace rulo::test
