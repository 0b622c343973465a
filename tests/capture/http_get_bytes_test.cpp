#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "capture/http_get_bytes.h"
#include "support/loopback_server.h"
#include "support/loopback_socket.h"
#include "support/raw_server.h"
#include "support/self_signed_server.h"
#include "support/tiny_proxy.h"

namespace pagelift {
namespace {

using test::LoopbackServer;

std::u16string U16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string Body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

std::string AsString(const ByteArray& bytes) {
  const auto data = bytes.Data();
  return std::string(data.begin(), data.end());
}

std::string Gzip(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// A byte array that a failed download must leave as it was.
ByteArray Untouched() {
  return ByteArray{0xDE, 0xAD};
}

class HttpGetBytesTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.http.Get(
        R"(/size/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
          response.set_content(Body(std::stoul(request.matches[1])), "application/octet-stream");
        });
    server_.http.Get("/headers",
                     [this](const httplib::Request& request, httplib::Response& response) {
                       ++hits_;
                       response.set_content(request.get_header_value("User-Agent") + "|" +
                                                request.get_header_value("Cache-Control") + "|" +
                                                request.get_header_value("Pragma"),
                                            "text/plain");
                     });
    server_.http.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content("<h1>not here</h1>", "text/html");
    });
    server_.http.Get(
        "/missing-without-body",
        [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    server_.http.Get("/no-content", [](const httplib::Request&, httplib::Response& response) {
      response.status = 204;
    });
    server_.http.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider(
          "text/plain", [](std::size_t offset, httplib::DataSink& sink) {
            if (offset >= 50000) {
              sink.done();
            } else {
              const std::string piece = Body(50000).substr(offset, 1000);
              sink.write(piece.data(), piece.size());
            }
            return true;
          });
    });
    server_.http.Get("/gzip", [](const httplib::Request&, httplib::Response& response) {
      response.set_header("Content-Encoding", "gzip");
      response.set_content(Gzip(Body(200000)), "application/octet-stream");
    });
    server_.http.Get("/redirect", [this](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(server_.Url("/size/5"));
    });
    server_.http.Get("/redirect-to-file", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("file:///etc/hostname");
    });
    server_.http.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
      // Promises 100,000 bytes and closes the connection after 30,000.
      response.set_content_provider(100000, "application/octet-stream",
                                    [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      if (offset >= 30000) return false;
                                      const std::string piece = Body(30000);
                                      sink.write(piece.data(), piece.size());
                                      return true;
                                    });
    });
    server_.http.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(
          100000, "application/octet-stream",
          [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset == 0) {
              sink.write("1", 1);
              return true;
            }
            // Holds the connection open for 20 s, unless the test ends first.
            for (int i = 0; i < 400 && !stopping_; ++i) {
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            return false;
          });
    });
    server_.Start();
  }

  void TearDown() override {
    stopping_ = true;
    server_.Stop();
  }

  LoopbackServer server_;
  std::atomic<int> hits_{0};
  std::atomic<bool> stopping_{false};
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

TEST_F(HttpGetBytesTest, AnEmptyBodyGivesZeroAnEmptyArrayAndTheStatus) {
  const std::string empty_file = std::filesystem::temp_directory_path() / "pagelift-empty.html";
  std::ofstream{empty_file};
  const struct {
    std::string url;
    std::string why;
  } cases[] = {
      {server_.Url("/size/0"), "the server sent no body (HTTP 200)"},
      {server_.Url("/no-content"), "the server sent no body (HTTP 204)"},
      {server_.Url("/missing-without-body"), "the server sent no body (HTTP 404)"},
      {"file://" + empty_file, "the file is empty"},
  };
  for (const auto& c : cases) {
    ByteArray bytes = Untouched();
    std::string why = "stale";
    EXPECT_EQ(HttpGetBytes(U16(c.url), bytes, u"", {}, &why), 0) << c.url;
    EXPECT_EQ(bytes, ByteArray::Empty()) << c.url;
    EXPECT_EQ(why, c.why) << c.url;
  }
  std::remove(empty_file.c_str());
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
  EXPECT_EQ(hits_, 2);
}

TEST_F(HttpGetBytesTest, ReturnsErrorPagesAndFollowsWebRedirectsOnly) {
  ByteArray bytes;
  EXPECT_EQ(HttpGetBytes(server_.Url16("/missing"), bytes, u""), 17);
  EXPECT_EQ(AsString(bytes), "<h1>not here</h1>");
  EXPECT_EQ(HttpGetBytes(server_.Url16("/redirect"), bytes, u""), 5);
  EXPECT_EQ(AsString(bytes), Body(5));
  bytes = Untouched();
  EXPECT_EQ(HttpGetBytes(server_.Url16("/redirect-to-file"), bytes, u""), 0);
  EXPECT_EQ(bytes, Untouched());
}

TEST_F(HttpGetBytesTest, GivesZeroLeavesTheArrayAndSaysWhyWhenNothingCanBeOpened) {
  const std::string free_port = std::to_string(test::FreeLoopbackPort());
  const std::string refused = "http://127.0.0.1:" + free_port + "/";
  const test::SelfSignedServer untrusted;
  const test::RawServer forbidding_proxy("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n",
                                         false);
  const std::string forbidding = forbidding_proxy.Url("").substr(7);  // 127.0.0.1:port
  const struct {
    std::string url;
    std::string proxy;
    std::string why;  // what the one line of why holds
  } cases[] = {
      {refused, "", "127.0.0.1:" + free_port + ": Connection refused"},
      {"http://no-such-host.invalid/", "", "no-such-host.invalid"},
      {untrusted.Url("/"), "", "certificate"},
      {server_.Url("/size/5"), "127.0.0.1:" + free_port,
       "127.0.0.1:" + free_port + ": Connection refused"},
      {server_.Url("/size/5"), "no-such-proxy.invalid:8080", "no-such-proxy.invalid"},
      {untrusted.Url("/"), forbidding, "403"},
      {"http://[::1/", "", ""},
      {"ftp://127.0.0.1/", "", "ftp"},
      {"gopher://127.0.0.1/", "", "gopher"},
      {"file:///no/such/file.html", "", "/no/such/file.html"},
      {"", "", "no URL"},
  };
  for (const auto& c : cases) {
    ByteArray bytes = Untouched();
    std::string why;
    EXPECT_EQ(HttpGetBytes(U16(c.url), bytes, U16(c.proxy), {}, &why), 0) << c.url;
    EXPECT_EQ(bytes, Untouched()) << c.url;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.url << " through " << c.proxy << ": " << why;
    EXPECT_FALSE(why.empty()) << c.url;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
  }
}

TEST_F(HttpGetBytesTest, ReadsALocalPage) {
  const std::string path = std::filesystem::temp_directory_path() / "pagelift-local-page.html";
  std::ofstream(path, std::ios::binary) << "<p>local</p>";
  ByteArray bytes;
  std::string why = "stale";
  EXPECT_EQ(HttpGetBytes(U16("file://" + path), bytes, u"", {}, &why), 12);
  EXPECT_EQ(AsString(bytes), "<p>local</p>");
  EXPECT_EQ(why, "");
  std::remove(path.c_str());
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
