#pragma once

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class SSLServer;
}

namespace pagelift::test {

// An HTTPS server on 127.0.0.1 whose certificate, made afresh for the test, is signed by
// its own key: a client that checks certificates refuses it before any request.
class SelfSignedServer {
 public:
  SelfSignedServer();
  ~SelfSignedServer();
  SelfSignedServer(const SelfSignedServer&) = delete;
  SelfSignedServer& operator=(const SelfSignedServer&) = delete;

  std::string Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  std::unique_ptr<httplib::SSLServer> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace pagelift::test
