#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace pagelift::test {

// A real HTTP server inside the test process, on 127.0.0.1 and a port the system picks.
// Register handlers on `http` before calling Start().
class LoopbackServer {
 public:
  LoopbackServer() = default;
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer() { Stop(); }

  void Start() {
    port_ = http.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { http.listen_after_bind(); });
    while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  void Stop() {
    if (!thread_.joinable()) return;
    http.stop();
    thread_.join();
  }

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::u16string Url16(const std::string& path) const {
    const std::string url = Url(path);
    return std::u16string(url.begin(), url.end());
  }

  httplib::Server http;

 private:
  int port_ = 0;
  std::thread thread_;
};

}  // namespace pagelift::test
