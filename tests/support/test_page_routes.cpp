#include "support/test_page_routes.h"

#include "support/test_pages.h"

#include <zlib.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace pagelift::test {

namespace {

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

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

void AddTestPages(httplib::Server& http, TestPageState& state, const std::string& samples) {
  http.Get(R"(/size/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
    response.set_content(Body(std::stoul(request.matches[1])), "application/octet-stream");
  });
  http.Get("/headers", [&state](const httplib::Request& request, httplib::Response& response) {
    ++state.hits;
    response.set_content(request.get_header_value("User-Agent") + "|" +
                             request.get_header_value("Cache-Control") + "|" +
                             request.get_header_value("Pragma"),
                         "text/plain");
  });
  http.Get("/hits", [&state](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::to_string(state.hits), "text/plain");
  });
  http.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("<h1>not here</h1>", "text/html");
  });
  http.Get("/missing-without-body",
           [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  http.Get("/no-content",
           [](const httplib::Request&, httplib::Response& response) { response.status = 204; });
  http.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
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
  http.Get("/gzip", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Encoding", "gzip");
    response.set_content(Gzip(Body(200000)), "application/octet-stream");
  });
  // A redirect to the URL that the query's "url" names.
  http.Get("/redirect-to", [](const httplib::Request& request, httplib::Response& response) {
    response.set_redirect(request.get_param_value("url"));
  });
  http.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
    // Promises 100,000 bytes and closes the connection after 30,000.
    response.set_content_provider(100000, "application/octet-stream",
                                  [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                    if (offset >= 30000) return false;
                                    const std::string piece = Body(30000);
                                    sink.write(piece.data(), piece.size());
                                    return true;
                                  });
  });
  http.Get("/stall", [&state](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(
        100000, "application/octet-stream",
        [&state](std::size_t offset, std::size_t, httplib::DataSink& sink) {
          if (offset == 0) {
            sink.write("1", 1);
            return true;
          }
          // Holds the connection open for 20 s, unless the test ends first.
          for (int i = 0; i < 400 && !state.stopping; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
          return false;
        });
  });
  http.Get(R"(/samples/(.+))", [samples](const httplib::Request& request,
                                         httplib::Response& response) {
    response.set_content(FileBytes(samples + "/" + std::string(request.matches[1])), "text/html");
  });
  http.Get("/empty", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("", "text/html");
  });
  // A server's error page: a long head of style, then a line in UTF-8 without a mark.
  http.Get("/not-found", [](const httplib::Request&, httplib::Response& response) {
    std::string page = "<html><head><style>";
    for (int i = 0; i < 40; ++i) page += "nav a { color: #333; text-decoration: none; }\n";
    page +=
        "</style></head><body><h1>404</h1><p>\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B"
        "\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93</p></body></html>";
    response.status = 404;
    response.set_content(page, "text/html");
  });
  http.Get("/nothing-left", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<script>x</script>   ", "text/html");
  });
}

}  // namespace pagelift::test
