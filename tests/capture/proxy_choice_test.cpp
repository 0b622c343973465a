#include "capture/proxy_choice.h"

#include <gtest/gtest.h>

namespace pagelift {
namespace {

TEST(ProxyForUrl, TakesTheEntryForTheSchemeThenSocksThenAPlainOne) {
  const struct {
    const char* text;
    const char* url;
    std::optional<std::string> expected;
  } cases[] = {
      {"", "http://a.jp/", std::nullopt},  // the system's settings
      {"  ", "http://a.jp/", std::nullopt},
      {"proxy.jp:8080", "http://a.jp/", "proxy.jp:8080"},
      {" http://proxy.jp:8080 ", "https://a.jp/", "http://proxy.jp:8080"},
      {"http=p1:8080 https=p2:8443", "http://a.jp/", "p1:8080"},
      {"http=p1:8080;https=p2:8443", "HTTPS://a.jp/", "p2:8443"},
      {"HTTP=p1:8080", "http://a.jp/", "p1:8080"},
      {"http=p1:8080 http=p2:8080", "http://a.jp/", "p1:8080"},  // the first for a scheme
      {"http=p1:8080\thttps=p2:8443", "https://a.jp/", "p2:8443"},
      {"http=p1:8080 socks=s:1080", "https://a.jp/", "socks4://s:1080"},
      {"socks=s:1080 http=p1:8080", "http://a.jp/", "p1:8080"},
      {"ftp=f:21 plain:3128", "http://a.jp/", "plain:3128"},
      {"http=p1:8080 plain:3128 socks=s:1080", "https://a.jp/", "socks4://s:1080"},
      {"http=p1:8080", "https://a.jp/", ""},  // nothing for https: no proxy
      {"ftp=f:21", "http://a.jp/", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProxyForUrl(c.text, c.url), c.expected) << '"' << c.text << "\" for " << c.url;
  }
}

}  // namespace
}  // namespace pagelift
