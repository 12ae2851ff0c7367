#pragma once
// A TCP listener on the loopback interface that counts the connections made
// to it: a test asserts that XML reading makes none. Each connection is
// closed at once, so a client that did connect fails quickly instead of
// waiting for an answer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

namespace qrv::test {

class LoopbackListener {
 public:
  LoopbackListener() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_, 16) != 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      if (socket_ >= 0) ::close(socket_);
      throw std::runtime_error("no loopback listener");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }

  ~LoopbackListener() {
    stop();
    ::close(socket_);
  }

  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  // "http://127.0.0.1:<port>" + path.
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  // Stops accepting and tells how many connections were made, those still
  // waiting to be accepted too.
  int connections() {
    stop();
    while (acceptOne(0)) {
    }
    return connections_;
  }

 private:
  void serve() {
    while (!stopped_) acceptOne(20);
  }

  void stop() {
    stopped_ = true;
    if (thread_.joinable()) thread_.join();
  }

  // Accepts and closes one connection that arrives within `milliseconds`.
  bool acceptOne(int milliseconds) {
    pollfd waiting{socket_, POLLIN, 0};
    if (::poll(&waiting, 1, milliseconds) <= 0) return false;
    const int connection = ::accept(socket_, nullptr, nullptr);
    if (connection < 0) return false;
    ::close(connection);
    ++connections_;
    return true;
  }

  int socket_;
  int port_ = 0;
  std::atomic<bool> stopped_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

}  // namespace qrv::test
