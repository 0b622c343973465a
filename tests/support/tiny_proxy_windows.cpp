// A Windows test cannot start a Linux program: the program that runs it under Wine
// (scripts/wine_run.sh) starts tinyproxy on the Linux side and says where it is.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/tiny_proxy.h"

namespace pagelift::test {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : value;
}

}  // namespace

TinyProxy::TinyProxy() : dir_(Variable("PAGELIFT_TINYPROXY_LOG")) {
  const std::string address = Variable("PAGELIFT_TINYPROXY");
  const std::size_t colon = address.rfind(':');
  if (colon == std::string::npos || dir_.empty()) return;
  port_ = std::atoi(address.c_str() + colon + 1);
  pid_ = port_ > 0 ? 1 : -1;
}

TinyProxy::~TinyProxy() = default;

std::string TinyProxy::Log() const {
  std::ifstream file(dir_);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace pagelift::test
