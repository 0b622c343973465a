// Serves files for the end-to-end tests on 127.0.0.1: each FILE given at "/" followed by
// its name. Prints the port, then serves until it is killed, for two minutes at most so
// that a broken test leaves nothing behind.
#include <httplib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
  }
  httplib::Server server;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 2;
    }
    const std::string body{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    server.Get("/" + std::filesystem::path(argv[i]).filename().string(),
               [body](const httplib::Request&, httplib::Response& response) {
                 response.set_content(body, "text/html");
               });
  }
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  std::printf("%d\n", port);
  std::fflush(stdout);
  ::alarm(120);
  return server.listen_after_bind() ? 0 : 1;
}
