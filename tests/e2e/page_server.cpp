// Serves files for the end-to-end tests on 127.0.0.1: each FILE given at "/" followed by
// its name, and at "/held/" followed by its name once "/release" has been asked for, so
// that a test can look at a fetch under way. Prints the port, then serves until it is
// killed, for two minutes at most so that a broken test leaves nothing behind. Writes the
// path of each request to standard error.
#include <httplib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  httplib::Server server;
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  server.Get("/release", [&](const httplib::Request&, httplib::Response&) {
    const std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  });
  server.set_logger([](const httplib::Request& request, const httplib::Response&) {
    std::fprintf(stderr, "%s\n", request.path.c_str());
  });
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 2;
    }
    const auto body = std::make_shared<const std::string>(std::istreambuf_iterator<char>(file),
                                                          std::istreambuf_iterator<char>());
    const std::string name = std::filesystem::path(argv[i]).filename().string();
    server.Get("/" + name, [body](const httplib::Request&, httplib::Response& response) {
      response.set_content(*body, "text/html");
    });
    server.Get("/held/" + name, [&, body](const httplib::Request&, httplib::Response& response) {
      std::unique_lock lock(mutex);
      changed.wait_for(lock, std::chrono::seconds(30), [&] { return released; });
      response.set_content(*body, "text/html");
    });
  }
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  std::printf("%d\n", port);
  std::fflush(stdout);
  ::alarm(120);
  return server.listen_after_bind() ? 0 : 1;
}
