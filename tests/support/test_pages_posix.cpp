#include "support/loopback_server.h"
#include "support/raw_server.h"
#include "support/self_signed_server.h"
#include "support/test_page_routes.h"
#include "support/test_pages.h"

namespace pagelift::test {

struct TestPages::Server {
  TestPageState state;
  LoopbackServer loopback;
  // Made when first asked for: a key takes a while to make.
  std::unique_ptr<SelfSignedServer> untrusted;
  std::unique_ptr<RawServer> forbidding;
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

std::string TestPages::UntrustedUrl(const std::string& path) const {
  if (!server_->untrusted) server_->untrusted = std::make_unique<SelfSignedServer>();
  return server_->untrusted->Url(path);
}

std::string TestPages::ForbiddingProxy() const {
  if (!server_->forbidding) server_->forbidding = std::make_unique<RawServer>(kForbidding, false);
  return server_->forbidding->Url("").substr(7);  // 127.0.0.1:port
}

}  // namespace pagelift::test
