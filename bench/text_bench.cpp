#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "page_of.h"
#include "text/html_to_text.h"
#include "text/wrap_lines.h"

namespace pagelift {
namespace {

using bench::PageOf;

// Sizes are given in bytes of UTF-16 text: 1 MB and 10 MB.
constexpr std::int64_t kSmall = 1 << 20;
constexpr std::int64_t kLarge = 10 << 20;

// `unit` repeated to `bytes` bytes of UTF-16 (the last copy cut short).
std::u16string Repeated(std::u16string_view unit, std::int64_t bytes) {
  const std::size_t size = static_cast<std::size_t>(bytes) / sizeof(char16_t);
  std::u16string text;
  text.reserve(size + unit.size());
  while (text.size() < size) text.append(unit);
  text.resize(size);
  return text;
}

// The sample page: a small Japanese page with a title, paragraphs and a pre block, all
// markup and line ends (a tag every 13 characters, a line end every 15).
std::u16string SamplePage() {
  return PageOf(std::string(PAGELIFT_SAMPLES) + "/sample.utf8.html");
}

// A Japanese news article page as sites serve them: head with meta tags, a style sheet and
// scripts, navigation lists, an article with a table, a ranking list and a footer.
std::u16string NewsPage() {
  return PageOf(std::string(PAGELIFT_BENCH_PAGES) + "/news.html");
}

void Report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The floor: one copy of the same amount of text.
void BM_CopyText(benchmark::State& state) {
  const std::u16string text = Repeated(SamplePage(), state.range(0));
  for (auto _ : state) {
    std::u16string copy(text);
    benchmark::DoNotOptimize(copy.data());
  }
  Report(state);
}

void BM_HtmlToTextPage(benchmark::State& state, std::u16string (*page_of)()) {
  const std::u16string page = Repeated(page_of(), state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(HtmlToText(page, 100));
  Report(state);
}

// One line with no line end at all, folded at W = 1, 2 and 100.
void BM_WrapLinesOneLine(benchmark::State& state, double width) {
  const std::u16string line = Repeated(u"東京は晴れ、sunny 18度 ", state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(WrapLines(line, width));
  Report(state);
}

// Pages made of one unit repeated, each a worst case of the reduction.
void BM_HtmlToTextOf(benchmark::State& state, std::u16string_view head, std::u16string_view unit) {
  const std::u16string page = std::u16string(head) + Repeated(unit, state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(HtmlToText(page, 100));
  Report(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_CopyText)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextPage, NewsPage, NewsPage)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextPage, SamplePage, SamplePage)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_WrapLinesOneLine, W1, 1.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_WrapLinesOneLine, W2, 2.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_WrapLinesOneLine, W100, 100.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, OpenAngles, u"", u"<")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, UnclosedComment, u"<!--", u"a-b<c- -")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, Ampersands, u"", u"&")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, PreTags, u"", u"<pre>")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, Whitespace, u"", u" \t\r\n  \n")->Apply(Sizes);

}  // namespace
}  // namespace pagelift
