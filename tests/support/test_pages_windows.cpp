#include <cstdlib>

#include "capture/http_get_bytes.h"
#include "support/test_pages.h"

namespace pagelift::test {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

// Each host:port, or empty when no server was started for the test.
struct TestPages::Server {
  std::string address = Environment("PAGELIFT_PAGE_SERVER");
  std::string untrusted = Environment("PAGELIFT_UNTRUSTED_SERVER");
  std::string forbidding = Environment("PAGELIFT_FORBIDDING_PROXY");
};

TestPages::TestPages() : server_(std::make_unique<Server>()) {}

TestPages::~TestPages() = default;

std::string TestPages::Url(const std::string& path) const {
  return "http://" + server_->address + path;
}

std::u16string TestPages::Url16(const std::string& path) const {
  const std::string url = Url(path);
  return std::u16string(url.begin(), url.end());
}

std::string TestPages::UntrustedUrl(const std::string& path) const {
  return "https://" + server_->untrusted + path;
}

std::string TestPages::ForbiddingProxy() const {
  return server_->forbidding;
}

int TestPages::Hits() const {
  ByteArray bytes;
  if (HttpGetBytes(Url16("/hits"), bytes, u"") == 0) return -1;
  return std::atoi(std::string(bytes.Data().begin(), bytes.Data().end()).c_str());
}

}  // namespace pagelift::test
