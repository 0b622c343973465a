#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "capture/fetch_text.h"
#include "convert/non_code_class.h"
#include "page_of.h"

namespace pagelift {
namespace {

using bench::PageOf;

// Sizes are given in bytes of the page as downloaded: 1 MB and 10 MB.
constexpr std::int64_t kSmall = 1 << 20;
constexpr std::int64_t kLarge = 10 << 20;

std::vector<std::uint8_t> Bytes(const ByteArray& array) {
  return std::vector<std::uint8_t>(array.Data().begin(), array.Data().end());
}

std::vector<std::uint8_t> Ascii(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// `head`, then `unit` repeated to `size` bytes in all (the last copy cut short). Built by
// appending a byte at a time, which GCC's overflow check does not misread.
ByteArray Repeated(std::string_view head, const std::vector<std::uint8_t>& unit,
                   std::int64_t size) {
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  bytes.reserve(static_cast<std::size_t>(size) + unit.size());
  while (bytes.size() < static_cast<std::size_t>(size)) {
    for (const std::uint8_t byte : unit) bytes.push_back(byte);
  }
  bytes.resize(static_cast<std::size_t>(size));
  return ByteArray(std::move(bytes));
}

enum class Page { kNewsSjis, kNewsEuc, kNewsUtf8, kSampleSjis, kSpaces, kDashes, kBadBytes };

// The page's bytes at `size`, made once.
const ByteArray& PageBytes(Page page, std::int64_t size) {
  static std::map<std::pair<Page, std::int64_t>, ByteArray> pages;
  const auto found = pages.find({page, size});
  if (found != pages.end()) return found->second;
  const NonCodeClass codes;
  std::vector<std::uint8_t> unit;
  switch (page) {
    case Page::kNewsSjis:
      unit = Bytes(codes.VbUnicode_To_SJIS(PageOf(PAGELIFT_BENCH_PAGES "/news.html")));
      break;
    case Page::kNewsEuc:
      unit = Bytes(codes.VbUnicode_To_EUC(PageOf(PAGELIFT_BENCH_PAGES "/news.html")));
      break;
    case Page::kNewsUtf8:
      unit = Bytes(codes.VbUnicode_To_UTF8(PageOf(PAGELIFT_BENCH_PAGES "/news.html"), false));
      break;
    case Page::kSampleSjis:
      unit = Bytes(codes.VbUnicode_To_SJIS(PageOf(PAGELIFT_SAMPLES "/sample.utf8.html")));
      break;
    case Page::kSpaces:  // one line of spaces that waits for its end
      unit = Ascii("&nbsp;");
      break;
    case Page::kDashes:  // a comment that never ends, where no part may be cut at a dash
      unit = Ascii("-");
      break;
    case Page::kBadBytes:  // a byte that ICU must replace every other byte
      unit = {0xA0, 0x41};
      break;
  }
  const std::string_view head = page == Page::kDashes ? "<!--" : "<p>a";
  return pages.emplace(std::make_pair(page, size), Repeated(head, unit, size)).first->second;
}

// The fetch command's text path over a downloaded page: decoded, reduced and folded at
// 100 columns, a piece at a time.
void BM_PageText(benchmark::State& state, Page page, CodeChoice code) {
  const ByteArray& bytes = PageBytes(page, state.range(0));
  const FetchSettings settings{u"", code, 100};
  const NonCodeClass codes;
  const auto count = static_cast<std::int32_t>(bytes.Data().size());
  for (auto _ : state) benchmark::DoNotOptimize(PageText(count, bytes, settings, codes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_PageText, NewsSjis, Page::kNewsSjis, Code::kSJIS)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, NewsSjisJudged, Page::kNewsSjis, std::nullopt)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, NewsEuc, Page::kNewsEuc, Code::kEUC)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, NewsUtf8, Page::kNewsUtf8, Code::kUTF8)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, SampleSjis, Page::kSampleSjis, Code::kSJIS)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, Spaces, Page::kSpaces, Code::kUTF8)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, Dashes, Page::kDashes, Code::kUTF8)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_PageText, BadShiftJisBytes, Page::kBadBytes, Code::kSJIS)->Apply(Sizes);

}  // namespace
}  // namespace pagelift
