#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "capture/http_get_bytes.h"
#include "support/loopback_server.h"

namespace pagelift {
namespace {

constexpr std::size_t kBodySize = 100u << 20;

// One server for the whole run, serving a 100 MB body.
test::LoopbackServer& Server() {
  static test::LoopbackServer* server = [] {
    auto* s = new test::LoopbackServer;
    static const std::string body(kBodySize, 'x');
    s->http.Get("/big", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(body, "application/octet-stream");
    });
    s->Start();
    return s;
  }();
  return *server;
}

void BM_HttpGetBytes100MB(benchmark::State& state) {
  const std::u16string url = Server().Url16("/big");
  for (auto _ : state) {
    ByteArray bytes;
    if (HttpGetBytes(url, bytes, u"") != static_cast<std::int32_t>(kBodySize)) {
      state.SkipWithError("short download");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_HttpGetBytes100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The curl program on the same URL, writing nowhere: what a plain download costs.
void BM_CurlProgram100MB(benchmark::State& state) {
  const std::string command = "curl -s -o /dev/null " + Server().Url("/big");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBodySize));
}
BENCHMARK(BM_CurlProgram100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pagelift
