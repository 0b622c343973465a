#include "support/tiny_proxy.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/loopback_socket.h"

namespace pagelift::test {

namespace {

std::string FindProgram(const char* name) {
  for (const char* dir : {"/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin"}) {
    const std::string path = std::string(dir) + "/" + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return {};
}

}  // namespace

TinyProxy::TinyProxy() {
  const std::string program = FindProgram("tinyproxy");
  if (program.empty()) return;
  char pattern[] = "/tmp/pagelift-proxy-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return;
  dir_ = pattern;
  port_ = FreeLoopbackPort();
  std::ofstream(dir_ + "/tinyproxy.conf") << "Port " << port_ << "\nListen 127.0.0.1\nTimeout 30\n"
                                          << "LogFile \"" << dir_ << "/tinyproxy.log\"\n"
                                          << "LogLevel Info\nMaxClients 10\nAllow 127.0.0.1\n";
  const std::string config = dir_ + "/tinyproxy.conf";
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-d"),
                  const_cast<char*>("-c"), const_cast<char*>(config.c_str()), nullptr};
  // The proxy ends with the test even when the test aborts, and does not hold the test's
  // output open: CTest would wait for it.
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) return;
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    const int null = open("/dev/null", O_RDWR);
    for (int fd : {0, 1, 2}) dup2(null, fd);
    execv(program.c_str(), argv);
    _exit(127);
  }
  pid_ = pid;
  for (int i = 0; i < 100 && !AcceptsOnLoopback(port_); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

TinyProxy::~TinyProxy() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

std::string TinyProxy::Log() const {
  std::ifstream file(dir_ + "/tinyproxy.log");
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace pagelift::test
