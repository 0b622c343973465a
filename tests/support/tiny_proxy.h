#pragma once

#include <string>

namespace pagelift::test {

// A real tinyproxy on 127.0.0.1 and a free port, started for one test and stopped after
// (tiny_proxy_posix.cpp). Under Wine it runs on the Linux side for as long as the test
// program does, and is found through the environment (tiny_proxy_windows.cpp).
class TinyProxy {
 public:
  TinyProxy();
  ~TinyProxy();
  TinyProxy(const TinyProxy&) = delete;
  TinyProxy& operator=(const TinyProxy&) = delete;

  bool running() const { return pid_ > 0; }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Log() const;  // what the proxy has logged so far

 private:
  std::string dir_;  // under Wine, the log file
  int port_ = 0;
  int pid_ = -1;  // under Wine, 1 when there is a proxy
};

}  // namespace pagelift::test
