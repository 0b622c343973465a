#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/codes.h"
#include "base/huge_pages.h"
#include "capture/fetch_text.h"
#include "convert/page_decoder.h"
#include "convert/utf8_text.h"
#include "html/document.h"
#include "html/tokenizer.h"
#include "text/main_text.h"
#include "text/readable_text.h"

namespace pagelift {
namespace {

// Sizes are given in bytes of the page as UTF-8: 1 MB and 10 MB. Each row decodes the
// page to UTF-16 inside the timing, so its MB/s are of page bytes, decode included.
constexpr std::int64_t kSmall = 1 << 20;
constexpr std::int64_t kLarge = 10 << 20;

// A UTF-8 file kept with the sources, as it is.
std::string FileOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.empty()) throw std::runtime_error("cannot read " + path);
  return bytes;
}

enum class Page {
  kNews,                 // bench/pages/news.html, repeated
  kSample,               // the sample page, repeated
  kNestedDivs,           // "<div>" a million times and more: the limit of depth
  kOpenAngles,           // "<" after "<"
  kHugeAttribute,        // one attribute value as long as the page
  kUnclosedComment,      // a comment that never ends
  kParagraphFormatting,  // "<p><b><i><u>x</p>": formatting reconstructed in every paragraph
  kTableText,            // text in a table, foster-parented before it
  kLongReference,        // one numeric character reference as long as the page
  kDataTable,            // one data table of cells, some with "|" in them
  kNestedLists,          // "<ul><li>x" after "<ul><li>x": lists as deep as the tree goes
  kLongLink,             // one link whose address is as long as the page
  kMarkupText,           // text of Markdown's marks: *_[]<>`#|~\ and an entity
};

// `head`, then `unit` repeated, then `tail`: `size` bytes in all (the last copy of `unit`
// cut short), made once.
const std::vector<std::uint8_t>& PageBytes(Page page, std::int64_t size) {
  static std::map<std::pair<Page, std::int64_t>, std::vector<std::uint8_t>> pages;
  const auto found = pages.find({page, size});
  if (found != pages.end()) return found->second;
  std::string head, unit, tail;
  switch (page) {
    case Page::kNews:
      unit = FileOf(PAGELIFT_BENCH_PAGES "/news.html");
      break;
    case Page::kSample:
      unit = FileOf(PAGELIFT_SAMPLES "/sample.utf8.html");
      break;
    case Page::kNestedDivs:
      unit = "<div>";
      break;
    case Page::kOpenAngles:
      unit = "<";
      break;
    case Page::kHugeAttribute:
      head = "<p title=\"";
      unit = "a&amp;b ";
      tail = "\">x";
      break;
    case Page::kUnclosedComment:
      head = "<!--";
      unit = "a-b<c- -";
      break;
    case Page::kParagraphFormatting:
      unit = "<p><b><i><u>x</p>";
      break;
    case Page::kTableText:
      head = "<table>";
      unit = "text <td>cell</td> ";
      break;
    case Page::kLongReference:
      head = "&#x";
      unit = "0";
      tail = "41;";
      break;
    case Page::kDataTable:
      head = "<table><tr><th>a</th><th>b</th></tr>";
      unit = "<tr><td>x</td><td>y|z</td></tr>";
      tail = "</table>";
      break;
    case Page::kNestedLists:
      unit = "<ul><li>x";
      break;
    case Page::kLongLink:
      head = "<p><a href=\"";
      unit = "a/";
      tail = "\">x</a>";
      break;
    case Page::kMarkupText:
      unit = "<p>*a* _b_ [c](d) <em>e</em> `f` # g | h ~ \\ &amp;amp; 1. i</p>\n";
      break;
  }
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  bytes.reserve(static_cast<std::size_t>(size) + unit.size());
  while (bytes.size() < static_cast<std::size_t>(size)) {
    for (const char c : unit) bytes.push_back(static_cast<std::uint8_t>(c));
  }
  bytes.resize(static_cast<std::size_t>(size) - tail.size());
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return pages.emplace(std::make_pair(page, size), std::move(bytes)).first->second;
}

// The page's text, decoded into a fresh buffer as the fetch decodes a page.
std::u16string Decoded(const std::vector<std::uint8_t>& bytes) {
  std::u16string text;
  ReserveLarge(text, bytes.size());
  AppendUtf8Text(bytes, text);
  return text;
}

// Called first in each iteration: gives the memory the one before freed back to the system,
// outside the timing, so that each iteration faults in fresh memory as a page in a new
// process does. Otherwise glibc keeps the blocks of a 1 MB page for the next iteration but
// maps those of a 10 MB page (past its 32 MB threshold) anew each time, and the two sizes
// would not compare.
void FreshMemory(benchmark::State& state) {
  state.PauseTiming();
  malloc_trim(0);
  state.ResumeTiming();
}

// The floor: the decode alone.
void BM_HtmlDecodeOnly(benchmark::State& state, Page page) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  for (auto _ : state) {
    FreshMemory(state);
    benchmark::DoNotOptimize(Decoded(bytes));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The floor of the rows in pieces: the decode alone, 64 KB at a time, as the fetch decodes.
void BM_HtmlDecodeInPieces(benchmark::State& state, Page page) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  for (auto _ : state) {
    FreshMemory(state);
    std::u16string piece;
    PageDecoder(Code::kUTF8).DecodeAll(bytes, kPieceBytes, piece, [&](bool) {
      benchmark::DoNotOptimize(piece.data());
      piece.clear();
    });
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_HtmlTokens(benchmark::State& state, Page page) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  std::int64_t tokens = 0;
  for (auto _ : state) {
    FreshMemory(state);
    const std::u16string text = Decoded(bytes);
    html::Tokenizer tokenizer(text);
    tokens = 0;
    while (tokenizer.Next().kind != html::TokenKind::kEndOfFile) ++tokens;
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
  state.counters["tokens"] = static_cast<double>(tokens);
}

// What a tree row reports: the bytes of the page's tree and the most held while it was made,
// for each byte of the page, and its nodes. Taken in the timing, as they cost next to nothing.
struct TreeFigures {
  std::size_t tree = 0, held = 0, nodes = 0;
  void Report(benchmark::State& state, std::size_t page_bytes) const {
    const auto per_byte = [page_bytes](std::size_t n) {
      return static_cast<double>(n) / static_cast<double>(page_bytes);
    };
    state.counters["tree/page"] = per_byte(tree);
    state.counters["held/page"] = per_byte(held);
    state.counters["nodes"] = static_cast<double>(nodes);
  }
};

// The tree of the page decoded whole: it is held with its text.
void BM_HtmlTree(benchmark::State& state, Page page) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  TreeFigures figures;
  for (auto _ : state) {
    FreshMemory(state);
    const std::u16string text = Decoded(bytes);
    const html::Document doc = html::ParseDocument(text);
    figures = {doc.MemoryBytes(), doc.MemoryBytes() + text.size() * sizeof(char16_t),
               doc.NodeCount()};
    benchmark::DoNotOptimize(figures);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
  figures.Report(state, bytes.size());
}

// The tree of the page decoded 64 KB at a time, as the fetch decodes it, each piece's text
// handed to the parser and dropped: held is the most the tree, the parser and the piece held
// after a piece, or at the end.
void BM_HtmlTreeInPieces(benchmark::State& state, Page page) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  TreeFigures figures;
  for (auto _ : state) {
    FreshMemory(state);
    html::DocumentParser parser(bytes.size());
    std::u16string piece;
    std::size_t held = 0;
    PageDecoder(Code::kUTF8).DecodeAll(bytes, kPieceBytes, piece, [&](bool) {
      parser.Append(piece);
      held = std::max(held, parser.MemoryBytes() + piece.capacity() * sizeof(char16_t));
      piece.clear();
    });
    const std::size_t buffers = parser.BufferBytes();
    const html::Document doc = parser.Finish();
    figures = {doc.MemoryBytes(), std::max(held, buffers + doc.MemoryBytes()), doc.NodeCount()};
    benchmark::DoNotOptimize(figures);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
  figures.Report(state, bytes.size());
}

// A text form of the page as the fetch makes it: decoded and parsed 64 KB at a time, laid
// out and folded at 100 columns; `with_html`: with its HTML beside it, as for the Clipboard.
void BM_Form(benchmark::State& state, Page page, TextForm form, bool with_html = false) {
  const std::vector<std::uint8_t>& bytes = PageBytes(page, state.range(0));
  FetchSettings settings{u"", Code::kUTF8, 100, form};
  settings.clipboard_html = with_html;
  std::size_t units = 0;
  const auto take = [&units](std::u16string& part) {
    units += part.size();
    part.clear();
  };
  for (auto _ : state) {
    FreshMemory(state);
    benchmark::DoNotOptimize(PageTextInParts(bytes, settings, take));
  }
  benchmark::DoNotOptimize(units);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
void BM_Readable(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kReadable);
}
void BM_Main(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kMain);
}
void BM_ReadableMarkdown(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kReadableMarkdown);
}
void BM_MainMarkdown(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kMainMarkdown);
}
void BM_ReadableWithHtml(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kReadable, true);
}
void BM_MainWithHtml(benchmark::State& state, Page page) {
  BM_Form(state, page, TextForm::kMain, true);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond);
}

#define PAGELIFT_HTML_ROWS(page)                                             \
  BENCHMARK_CAPTURE(BM_HtmlTokens, page, Page::k##page)->Apply(Sizes);       \
  BENCHMARK_CAPTURE(BM_HtmlTree, page, Page::k##page)->Apply(Sizes);         \
  BENCHMARK_CAPTURE(BM_HtmlTreeInPieces, page, Page::k##page)->Apply(Sizes); \
  BENCHMARK_CAPTURE(BM_Readable, page, Page::k##page)->Apply(Sizes);         \
  BENCHMARK_CAPTURE(BM_Main, page, Page::k##page)->Apply(Sizes);             \
  BENCHMARK_CAPTURE(BM_ReadableMarkdown, page, Page::k##page)->Apply(Sizes); \
  BENCHMARK_CAPTURE(BM_MainMarkdown, page, Page::k##page)->Apply(Sizes);     \
  BENCHMARK_CAPTURE(BM_ReadableWithHtml, page, Page::k##page)->Apply(Sizes); \
  BENCHMARK_CAPTURE(BM_MainWithHtml, page, Page::k##page)->Apply(Sizes)

BENCHMARK_CAPTURE(BM_HtmlDecodeOnly, News, Page::kNews)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlDecodeOnly, Sample, Page::kSample)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlDecodeInPieces, News, Page::kNews)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_HtmlDecodeInPieces, Sample, Page::kSample)->Apply(Sizes);
PAGELIFT_HTML_ROWS(News);
PAGELIFT_HTML_ROWS(Sample);
PAGELIFT_HTML_ROWS(NestedDivs);
PAGELIFT_HTML_ROWS(OpenAngles);
PAGELIFT_HTML_ROWS(HugeAttribute);
PAGELIFT_HTML_ROWS(UnclosedComment);
PAGELIFT_HTML_ROWS(ParagraphFormatting);
PAGELIFT_HTML_ROWS(TableText);
PAGELIFT_HTML_ROWS(LongReference);
PAGELIFT_HTML_ROWS(DataTable);
PAGELIFT_HTML_ROWS(NestedLists);
PAGELIFT_HTML_ROWS(LongLink);
PAGELIFT_HTML_ROWS(MarkupText);

}  // namespace
}  // namespace pagelift
