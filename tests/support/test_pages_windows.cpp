#include <cstdlib>

#include "capture/http_get_bytes.h"
#include "support/test_pages.h"

namespace pagelift::test {

struct TestPages::Server {
  std::string address;  // host:port, or empty when no server was started for the test
};

TestPages::TestPages() : server_(std::make_unique<Server>()) {
  const char* address = std::getenv("PAGELIFT_PAGE_SERVER");
  if (address != nullptr) server_->address = address;
}

TestPages::~TestPages() = default;

std::string TestPages::Url(const std::string& path) const {
  return "http://" + server_->address + path;
}

std::u16string TestPages::Url16(const std::string& path) const {
  const std::string url = Url(path);
  return std::u16string(url.begin(), url.end());
}

int TestPages::Hits() const {
  ByteArray bytes;
  if (HttpGetBytes(Url16("/hits"), bytes, u"") == 0) return -1;
  return std::atoi(std::string(bytes.Data().begin(), bytes.Data().end()).c_str());
}

}  // namespace pagelift::test
