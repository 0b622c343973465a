#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "convert/non_code_class.h"
#include "convert/utf8_text.h"

namespace pagelift {
namespace {

enum class Encoding { kSjis, kJis, kEuc, kUtf7, kUtf8Marked, kUtf16Marked };

// Real Japanese text: the sample page, repeated until its UTF-8 form reaches `size`.
std::u16string JapaneseText(std::size_t size) {
  std::ifstream file(PAGELIFT_SAMPLES "/sample.utf8.html", std::ios::binary);
  const std::vector<std::uint8_t> page(std::istreambuf_iterator<char>(file), {});
  const std::u16string unit = Utf8ToText(page);
  std::u16string text;
  for (std::size_t bytes = 0; bytes < size; bytes += page.size()) text += unit;
  return text;
}

// The page in `code`, made once per size.
const ByteArray& Page(Encoding code, std::size_t size) {
  static std::map<std::pair<Encoding, std::size_t>, ByteArray> pages;
  auto found = pages.find({code, size});
  if (found != pages.end()) return found->second;
  const NonCodeClass codes;
  const std::u16string text = JapaneseText(size);
  ByteArray bytes;
  switch (code) {
    case Encoding::kSjis:
      bytes = codes.VbUnicode_To_SJIS(text);
      break;
    case Encoding::kJis:
      bytes = codes.VbUnicode_To_JIS(text);
      break;
    case Encoding::kEuc:
      bytes = codes.VbUnicode_To_EUC(text);
      break;
    case Encoding::kUtf7:
      bytes = codes.VbUnicode_To_UTF7(text);
      break;
    case Encoding::kUtf8Marked:
      bytes = codes.VbUnicode_To_UTF8(text, true);
      break;
    case Encoding::kUtf16Marked:
      bytes = codes.VbUnicode_To_UNICODE(text, true);
      break;
  }
  return pages.emplace(std::make_pair(code, size), std::move(bytes)).first->second;
}

std::u16string Facade(const NonCodeClass& codes, Encoding code, const ByteArray& bytes) {
  switch (code) {
    case Encoding::kSjis:
      return codes.SJIS_To_VbUnicode(bytes);
    case Encoding::kJis:
      return codes.JIS_To_VbUnicode(bytes);
    case Encoding::kEuc:
      return codes.EUC_To_VbUnicode(bytes);
    case Encoding::kUtf7:
      return codes.UTF7_To_VbUnicode(bytes);
    case Encoding::kUtf8Marked:
      return codes.UTF8_To_VbUnicode(bytes);
    case Encoding::kUtf16Marked:
      return codes.UNICODE_To_VbUnicode(bytes);
  }
  return {};
}

const char* IcuName(Encoding code) {
  switch (code) {
    case Encoding::kSjis:
      return "windows-31j";
    case Encoding::kJis:
      return "ISO-2022-JP-1";
    case Encoding::kEuc:
      return "EUC-JP";
    case Encoding::kUtf7:
      return "UTF-7";
    case Encoding::kUtf8Marked:
      return "UTF-8";
    case Encoding::kUtf16Marked:
      return "UTF-16LE";
  }
  return "";
}

void BM_Facade(benchmark::State& state, Encoding code) {
  const ByteArray& bytes = Page(code, static_cast<std::size_t>(state.range(0)));
  const NonCodeClass codes;
  for (auto _ : state) benchmark::DoNotOptimize(Facade(codes, code, bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.Data().size()));
}

// ICU's own conversion of the same bytes into a buffer of one unit per byte, the floor.
void BM_IcuToUChars(benchmark::State& state, Encoding code) {
  const ByteArray& bytes = Page(code, static_cast<std::size_t>(state.range(0)));
  const auto source = bytes.Data();
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(IcuName(code), &error);
    std::u16string text(source.size() + 1, u'\0');
    const int32_t length = ucnv_toUChars(
        converter, reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()),
        reinterpret_cast<const char*>(source.data()), static_cast<int32_t>(source.size()), &error);
    text.resize(static_cast<std::size_t>(length));
    ucnv_close(converter);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

#define DECODE_BENCHMARKS(name, code)           \
  BENCHMARK_CAPTURE(BM_Facade, name, code)      \
      ->Arg(1 << 20)                            \
      ->Arg(10 << 20)                           \
      ->Unit(benchmark::kMillisecond);          \
  BENCHMARK_CAPTURE(BM_IcuToUChars, name, code) \
      ->Arg(1 << 20)                            \
      ->Arg(10 << 20)                           \
      ->Unit(benchmark::kMillisecond)

DECODE_BENCHMARKS(shift_jis, Encoding::kSjis);
DECODE_BENCHMARKS(iso_2022_jp, Encoding::kJis);
DECODE_BENCHMARKS(euc_jp, Encoding::kEuc);
DECODE_BENCHMARKS(utf_7, Encoding::kUtf7);
DECODE_BENCHMARKS(utf_8_marked, Encoding::kUtf8Marked);
DECODE_BENCHMARKS(utf_16_marked, Encoding::kUtf16Marked);

}  // namespace
}  // namespace pagelift
