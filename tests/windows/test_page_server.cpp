// Serves the download tests' pages on 127.0.0.1 for a test that runs under Wine, where
// cpp-httplib cannot be had: built for Linux by the Windows build and started by
// scripts/wine_run.sh for as long as the test runs. Prints its port, then serves until it
// is killed, for five minutes at most so that nothing is left behind.
#include <unistd.h>

#include <cstdio>

#include "support/test_page_routes.h"

int main() {
  httplib::Server server;
  pagelift::test::TestPageState state;
  pagelift::test::AddTestPages(server, state, PAGELIFT_SAMPLES);
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  std::printf("%d\n", port);
  std::fflush(stdout);
  ::alarm(300);
  return server.listen_after_bind() ? 0 : 1;
}
