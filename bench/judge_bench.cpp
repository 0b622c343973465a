#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "judge/judge_page.h"
#include "judge/judges.h"

namespace pagelift {
namespace {

ByteArray Repeated(std::string_view unit, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(unit[i % unit.size()]);
  return ByteArray(std::move(bytes));
}

// Shift_JIS-like text: kana pairs with ASCII between them, no sure sign of any code.
ByteArray SjisPage(std::size_t size) {
  return Repeated("\x82\xA0\x82\xA2<p>\x8A\xBF ", size);
}

void BM_JudgeCode(benchmark::State& state) {
  const ByteArray page = SjisPage(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(JudgeCode(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_JudgeCode)->Arg(1 << 10)->Arg(10 << 20);

// The pages that JudgePage reads whole: UTF-8 that ties with Shift_JIS ("お知らせ" and
// markup), read again as UTF-8 to its end; plain ASCII, searched to its end for a byte
// that tells codes apart, then read as UTF-8; a few EUC-JP characters among long 7-bit
// text, whose window ties Shift_JIS and EUC-JP, read again in both codes to its end.
void BM_JudgePage(benchmark::State& state, std::string_view unit) {
  const ByteArray page = Repeated(unit, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(JudgePage(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK_CAPTURE(BM_JudgePage, utf8, "<p>\xE3\x81\x8A\xE7\x9F\xA5\xE3\x82\x89\xE3\x81\x9B</p>\n")
    ->Arg(1 << 20)
    ->Arg(10 << 20);
const std::string kEucAmongAscii = "<p>\xC6\xFC\xCB\xDC</p>" + std::string(1000, 'a') + "\n";
BENCHMARK_CAPTURE(BM_JudgePage, euc_tie, kEucAmongAscii)->Arg(1 << 20)->Arg(10 << 20);
BENCHMARK_CAPTURE(BM_JudgePage, ascii, "<link rel=\"preload\" href=\"/app.js\">\n")
    ->Arg(1 << 20)
    ->Arg(10 << 20);

}  // namespace
}  // namespace pagelift
