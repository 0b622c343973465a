#pragma once

#include <memory>
#include <string>

namespace pagelift::test {

// The body of /size/N: N bytes of every value, none repeating soon.
inline std::string Body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

// The download tests' pages (test_page_routes.h) on 127.0.0.1, for one test: served from
// the test process (test_pages_posix.cpp), or under Wine by a server on the Linux side
// that the program running the test started (test_pages_windows.cpp): cpp-httplib comes
// built for Linux only.
// What the proxy that forbids everything answers.
inline constexpr char kForbidding[] = "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n";

class TestPages {
 public:
  TestPages();
  ~TestPages();
  TestPages(const TestPages&) = delete;
  TestPages& operator=(const TestPages&) = delete;

  std::string Url(const std::string& path) const;
  std::u16string Url16(const std::string& path) const;
  // Requests for /headers so far.
  int Hits() const;
  // An HTTPS server whose certificate is signed by its own key.
  std::string UntrustedUrl(const std::string& path) const;
  // host:port of a proxy that answers every request with 403 Forbidden.
  std::string ForbiddingProxy() const;

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace pagelift::test
