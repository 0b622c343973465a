#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "judge/judges.h"

namespace pagelift {
namespace {

// Shift_JIS-like text: kana pairs with ASCII between them, no sure sign of any code.
ByteArray Page(std::size_t size) {
  static const std::uint8_t kUnit[] = {0x82, 0xA0, 0x82, 0xA2, 0x3C, 0x70, 0x3E, 0x8A, 0xBF, 0x20};
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = kUnit[i % sizeof kUnit];
  return ByteArray(std::move(bytes));
}

void BM_JudgeCode(benchmark::State& state) {
  const ByteArray page = Page(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(JudgeCode(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_JudgeCode)->Arg(1 << 10)->Arg(10 << 20);

}  // namespace
}  // namespace pagelift
