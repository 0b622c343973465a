#include "support/loopback_server.h"
#include "support/test_page_routes.h"
#include "support/test_pages.h"

namespace pagelift::test {

struct TestPages::Server {
  TestPageState state;
  LoopbackServer loopback;
};

TestPages::TestPages() : server_(std::make_unique<Server>()) {
  AddTestPages(server_->loopback.http, server_->state, PAGELIFT_SAMPLES);
  server_->loopback.Start();
}

TestPages::~TestPages() {
  server_->state.stopping = true;
  server_->loopback.Stop();
}

std::string TestPages::Url(const std::string& path) const {
  return server_->loopback.Url(path);
}

std::u16string TestPages::Url16(const std::string& path) const {
  return server_->loopback.Url16(path);
}

int TestPages::Hits() const {
  return server_->state.hits;
}

}  // namespace pagelift::test
