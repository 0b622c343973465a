#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "page_of.h"
#include "text/form_folder.h"
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

// The text of the sample page, never folded, as the readable form's lines.
std::u16string SampleText() {
  return HtmlToText(SamplePage(), std::numeric_limits<double>::infinity());
}

// The lines of `text` repeated to `bytes` bytes: each line as it is, or, with `joined`,
// every `joined` copies of the text's lines made into one line (a long paragraph).
std::vector<std::u16string> LinesOf(std::u16string_view text, std::int64_t bytes,
                                    std::size_t joined) {
  std::vector<std::u16string_view> units;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    if (end > start) units.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  std::vector<std::u16string> lines;
  std::size_t size = 0;
  for (std::size_t i = 0; size < static_cast<std::size_t>(bytes) / sizeof(char16_t); ++i) {
    if (joined == 0 || i % (joined * units.size()) == 0) lines.emplace_back();
    if (joined != 0 && !lines.back().empty()) lines.back() += u' ';
    lines.back() += units[i % units.size()];
    size += units[i % units.size()].size();
  }
  return lines;
}

// The readable form's fold of `lines` at `width`, its text taken after every line.
void FoldForm(benchmark::State& state, const std::vector<std::u16string>& lines, double width,
              bool preformatted) {
  std::int64_t bytes = 0;
  for (const std::u16string& line : lines) bytes += line.size() * sizeof(char16_t);
  std::u16string taken;
  for (auto _ : state) {
    FormFolder folder(width);
    for (const std::u16string& line : lines) {
      folder.AddLine(line, preformatted);
      folder.TakeText(taken);
      taken.clear();
    }
    benchmark::DoNotOptimize(folder.Finish());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}

// Japanese: the sample page's lines (W = 40 folds about one in two), the same joined into
// paragraphs of 50 copies, and those paragraphs at W = 1.
void BM_FormFoldJapaneseLines(benchmark::State& state) {
  FoldForm(state, LinesOf(SampleText(), state.range(0), 0), 40, false);
}
void BM_FormFoldJapaneseParagraphs(benchmark::State& state, double width) {
  FoldForm(state, LinesOf(SampleText(), state.range(0), 50), width, false);
}
void BM_FormFoldJapanesePreformatted(benchmark::State& state) {
  FoldForm(state, LinesOf(SampleText(), state.range(0), 50), 100, true);
}

// English prose in paragraphs of about 2,000 characters.
void BM_FormFoldEnglish(benchmark::State& state) {
  const std::u16string text =
      u"The quick brown fox jumps over the lazy dog; then, at 3.14 p.m., it reads "
      u"https://example.com/news/2024/weather.html (twice) and says \"well-known\" words.\r\n";
  FoldForm(state, LinesOf(text, state.range(0), 12), 72, false);
}

// One line of one unit repeated: no break opportunity in a run of letters or of opening
// brackets, cut at W.
void BM_FormFoldOneLine(benchmark::State& state, std::u16string_view unit, double width) {
  FoldForm(state, {Repeated(unit, state.range(0))}, width, false);
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
BENCHMARK(BM_FormFoldJapaneseLines)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_FormFoldJapaneseParagraphs, W100, 100.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_FormFoldJapaneseParagraphs, W1, 1.0)->Apply(Sizes);
BENCHMARK(BM_FormFoldJapanesePreformatted)->Apply(Sizes);
BENCHMARK(BM_FormFoldEnglish)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_FormFoldOneLine, Letters, u"a", 100.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_FormFoldOneLine, OpeningBrackets, u"\u300C", 100.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_FormFoldOneLine, LettersW1, u"a", 1.0)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, OpenAngles, u"", u"<")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, UnclosedComment, u"<!--", u"a-b<c- -")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, Ampersands, u"", u"&")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, PreTags, u"", u"<pre>")->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlToTextOf, Whitespace, u"", u" \t\r\n  \n")->Apply(Sizes);

}  // namespace
}  // namespace pagelift
