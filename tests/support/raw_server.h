#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/loopback_socket.h"

namespace pagelift::test {

// A TCP server on 127.0.0.1 that answers every connection with fixed bytes, whatever
// was asked, and then either closes or holds the connection open until it is stopped:
// for servers that do not speak HTTP properly.
class RawServer {
 public:
  RawServer(std::string reply, bool hold_open) : reply_(std::move(reply)), hold_open_(hold_open) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    port_ = BindToFreeLoopbackPort(listener_);
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;
  ~RawServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  // Waits in short steps so that the server notices the end of the test.
  bool Readable(int fd) const {
    pollfd wanted{fd, POLLIN, 0};
    while (!stop_) {
      if (poll(&wanted, 1, 50) > 0) return true;
    }
    return false;
  }

  void Serve() {
    while (Readable(listener_)) {
      const int connection = accept(listener_, nullptr, nullptr);
      if (connection < 0) continue;
      char request[4096];
      if (Readable(connection)) (void)!read(connection, request, sizeof request);
      (void)!write(connection, reply_.data(), reply_.size());
      if (hold_open_) {
        while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      close(connection);
    }
  }

  std::string reply_;
  bool hold_open_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace pagelift::test
