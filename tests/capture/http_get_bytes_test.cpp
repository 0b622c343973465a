#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "capture/http_get_bytes.h"
#include "support/loopback_socket.h"
#include "support/platform.h"
#include "support/test_pages.h"
#include "support/tiny_proxy.h"

namespace pagelift {
namespace {

using test::Body;

std::u16string U16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string AsString(const ByteArray& bytes) {
  const auto data = bytes.Data();
  return std::string(data.begin(), data.end());
}

// A byte array that a failed download must leave as it was.
ByteArray Untouched() {
  return ByteArray{0xDE, 0xAD};
}

class HttpGetBytesTest : public testing::Test {
 protected:
  test::TestPages server_;
};

TEST_F(HttpGetBytesTest, BodiesOfEverySizeComeBackExact) {
  for (std::size_t size : {1u, 32767u, 100000u, 10u << 20}) {
    ByteArray bytes = Untouched();
    EXPECT_EQ(HttpGetBytes(server_.Url16("/size/" + std::to_string(size)), bytes, u""),
              static_cast<std::int32_t>(size));
    EXPECT_EQ(bytes.LBound(), 0);
    EXPECT_EQ(bytes.UBound(), static_cast<ByteArray::Index>(size) - 1);
    EXPECT_TRUE(AsString(bytes) == Body(size)) << size;
  }
}

// file:///tmp/... or, on Windows, file:///C:/...
std::string FileUrl(const std::filesystem::path& path) {
  const std::u8string name = path.generic_u8string();
  return (name.starts_with(u8"/") ? "file://" : "file:///") + std::string(name.begin(), name.end());
}

TEST_F(HttpGetBytesTest, AnEmptyBodyGivesZeroAnEmptyArrayAndTheStatus) {
  const auto empty_file = std::filesystem::temp_directory_path() / "pagelift-empty.html";
  std::ofstream{empty_file};
  const struct {
    std::string url;
    std::string why;
  } cases[] = {
      {server_.Url("/size/0"), "the server sent no body (HTTP 200)"},
      {server_.Url("/no-content"), "the server sent no body (HTTP 204)"},
      {server_.Url("/missing-without-body"), "the server sent no body (HTTP 404)"},
      {FileUrl(empty_file), "the file is empty"},
  };
  for (const auto& c : cases) {
    ByteArray bytes = Untouched();
    std::string why = "stale";
    EXPECT_EQ(HttpGetBytes(U16(c.url), bytes, u"", {}, &why), 0) << c.url;
    EXPECT_EQ(bytes, ByteArray::Empty()) << c.url;
    EXPECT_EQ(why, c.why) << c.url;
  }
  std::filesystem::remove(empty_file);
}

TEST_F(HttpGetBytesTest, ChunkedAndGzipBodiesArriveDecoded) {
  ByteArray bytes;
  EXPECT_EQ(HttpGetBytes(server_.Url16("/chunked"), bytes, u""), 50000);
  EXPECT_TRUE(AsString(bytes) == Body(50000));
  EXPECT_EQ(HttpGetBytes(server_.Url16("/gzip"), bytes, u""), 200000);
  EXPECT_TRUE(AsString(bytes) == Body(200000));
}

TEST_F(HttpGetBytesTest, SendsItsUserAgentAndNoCacheHeadersEveryTime) {
  ByteArray bytes;
  EXPECT_GT(HttpGetBytes(server_.Url16("/headers"), bytes, u""), 0);
  EXPECT_EQ(AsString(bytes), "WinInet Test|no-cache|no-cache");
  EXPECT_GT(HttpGetBytes(server_.Url16("/headers"), bytes, u""), 0);
  EXPECT_EQ(server_.Hits(), 2);
}

TEST_F(HttpGetBytesTest, ReturnsErrorPagesAndFollowsWebRedirectsOnly) {
  ByteArray bytes;
  EXPECT_EQ(HttpGetBytes(server_.Url16("/missing"), bytes, u""), 17);
  EXPECT_EQ(AsString(bytes), "<h1>not here</h1>");
  // Schemes in any letter case, where a redirect leads too; a local file only when asked
  // for, never by a redirect.
  const std::string page = server_.Url("/size/5");
  const std::string capitals = "HTTP" + page.substr(4);
  const auto redirect = [this](const std::string& to) {
    return server_.Url("/redirect-to?url=" + to);
  };
  const struct {
    std::string url;
    std::int32_t count;
    std::string why;
  } cases[] = {
      {capitals, 5, ""},
      {redirect(page), 5, ""},
      {redirect(capitals), 5, ""},
      // Followed as far as the certificate that no one vouches for.
      {redirect("HTTPS" + server_.UntrustedUrl("/").substr(5)), 0,
       test::kWindows ? "12045" : "certificate"},
      {redirect("file:///etc/hostname"), 0, ""},
      {redirect("FILE:///etc/hostname"), 0, ""},
  };
  for (const auto& c : cases) {
    bytes = Untouched();
    std::string why;
    EXPECT_EQ(HttpGetBytes(U16(c.url), bytes, u"", {}, &why), c.count) << c.url;
    EXPECT_EQ(AsString(bytes), c.count > 0 ? Body(5) : AsString(Untouched())) << c.url;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.url << ": " << why;
  }
}

TEST_F(HttpGetBytesTest, GivesZeroLeavesTheArrayAndSaysWhyWhenNothingCanBeOpened) {
  const std::string free_port = std::to_string(test::FreeLoopbackPort());
  const std::string refused = "http://127.0.0.1:" + free_port + "/";
  const struct {
    std::string url;
    std::string proxy;
    std::string why;  // what the one line of why holds
    bool under_wine = true;
  } cases[] = {
      {refused, "", "127.0.0.1:" + free_port + ": "},
      {"http://no-such-host.invalid/", "", "no-such-host.invalid"},
      // WinINet's words are its number.
      {server_.UntrustedUrl("/"), "", test::kWindows ? "12045" : "certificate"},
      // Wine's WinINet answers for a proxy it cannot reach with an empty 404.
      {server_.Url("/size/5"), "127.0.0.1:" + free_port, "127.0.0.1:" + free_port + ": ", false},
      {server_.Url("/size/5"), "no-such-proxy.invalid:8080", "no-such-proxy.invalid", false},
      // Wine's WinINet hands on the proxy's refusal as the page's answer, without a body.
      {server_.UntrustedUrl("/"), server_.ForbiddingProxy(), "403", false},
      {"http://[::1/", "", ""},
      {"ftp://127.0.0.1/", "", "ftp"},
      {"gopher://127.0.0.1/", "", "gopher"},
      {"file:///no/such/file.html", "", "/no/such/file.html"},
      {"", "", "no URL"},
  };
  test::LeftOut left_out;
  for (const auto& c : cases) {
    if (!left_out.Unless(c.under_wine || !test::UnderWine(), c.url + " through " + c.proxy,
                         "Wine answers with an empty page in the array")) {
      continue;
    }
    ByteArray bytes = Untouched();
    std::string why;
    EXPECT_EQ(HttpGetBytes(U16(c.url), bytes, U16(c.proxy), {}, &why), 0) << c.url;
    EXPECT_EQ(bytes, Untouched()) << c.url;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.url << " through " << c.proxy << ": " << why;
    EXPECT_FALSE(why.empty()) << c.url;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
  }
  left_out.SkipIfAny();
}

TEST_F(HttpGetBytesTest, ReadsALocalPage) {
  const auto path = std::filesystem::temp_directory_path() / "pagelift-local-page.html";
  std::ofstream(path, std::ios::binary) << "<p>local</p>";
  for (const std::string& url : {FileUrl(path), "FILE" + FileUrl(path).substr(4)}) {
    ByteArray bytes;
    std::string why = "stale";
    EXPECT_EQ(HttpGetBytes(U16(url), bytes, u"", {}, &why), 12) << url;
    EXPECT_EQ(AsString(bytes), "<p>local</p>");
    EXPECT_EQ(why, "");
  }
  std::filesystem::remove(path);
}

TEST_F(HttpGetBytesTest, ATransferThatBreaksOffKeepsWhatArrived) {
  ByteArray bytes;
  EXPECT_EQ(HttpGetBytes(server_.Url16("/broken"), bytes, u""), 30000);
  EXPECT_TRUE(AsString(bytes) == Body(30000));

  HttpLimits limits;
  limits.max_bytes = 1000;
  EXPECT_EQ(HttpGetBytes(server_.Url16("/size/5000"), bytes, u"", limits), 1000);
  EXPECT_TRUE(AsString(bytes) == Body(1000));
}

TEST_F(HttpGetBytesTest, GivesUpOnAStalledServerWithinTheLimit) {
  HttpLimits limits;
  limits.stall_seconds = 1;
  ByteArray bytes;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(HttpGetBytes(server_.Url16("/stall"), bytes, u"", limits), 1);
  // libcurl averages the speed over a few seconds, so the limit is met within a few more.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  EXPECT_EQ(AsString(bytes), "1");
}

TEST_F(HttpGetBytesTest, GoesThroughTheProxyTheTextNamesForTheUrl) {
  test::TinyProxy proxy;
  ASSERT_TRUE(proxy.running());
  const std::string url = server_.Url("/size/777");
  const std::string nowhere = "127.0.0.1:" + std::to_string(test::FreeLoopbackPort());
  const struct {
    std::string text;
    bool through_proxy;
  } cases[] = {
      {proxy.address(), true},
      {"https=" + nowhere + " http=" + proxy.address(), true},
      {"ftp=" + nowhere + "; " + proxy.address(), true},
      {"https=" + nowhere, false},  // nothing for http: no proxy at all
  };
  for (const auto& c : cases) {
    const std::size_t log_before = proxy.Log().size();
    ByteArray bytes;
    EXPECT_EQ(HttpGetBytes(U16(url), bytes, U16(c.text)), 777) << c.text;
    EXPECT_TRUE(AsString(bytes) == Body(777)) << c.text;
    EXPECT_EQ(proxy.Log().find("/size/777", log_before) != std::string::npos, c.through_proxy)
        << c.text << "\n"
        << proxy.Log();
  }
}

}  // namespace
}  // namespace pagelift
