// Serves the download tests' pages on 127.0.0.1 for a test that runs under Wine, where
// cpp-httplib cannot be had: built for Linux by the Windows build and started by
// scripts/wine_run.sh for as long as the test runs. Prints its port, then serves until it
// is killed, for five minutes at most so that nothing is left behind. Also serves HTTPS
// with a certificate signed by its own key, and a proxy that forbids everything, and
// prints their ports on the next two lines.
#include <unistd.h>

#include <cstdio>

#include "support/raw_server.h"
#include "support/self_signed_server.h"
#include "support/test_page_routes.h"
#include "support/test_pages.h"

int main() {
  httplib::Server server;
  pagelift::test::TestPageState state;
  pagelift::test::AddTestPages(server, state, PAGELIFT_SAMPLES);
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  const pagelift::test::SelfSignedServer untrusted;
  const pagelift::test::RawServer forbidding(pagelift::test::kForbidding, false);
  const auto port_of = [](const std::string& url) { return url.substr(url.rfind(':') + 1); };
  std::printf("%d\n%s\n%s\n", port, port_of(untrusted.Url("")).c_str(),
              port_of(forbidding.Url("")).c_str());
  std::fflush(stdout);
  ::alarm(300);
  return server.listen_after_bind() ? 0 : 1;
}
