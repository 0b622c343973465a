#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "convert/bom.h"

namespace pagelift {
namespace {

// UTF-16 text with a mark every 64 bytes, at odd and even offsets.
ByteArray MarkedArray(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(0x30 + i % 40);
  for (std::size_t i = 0; i + 1 < size; i += 63) {
    bytes[i] = 0xFF;
    bytes[i + 1] = 0xFE;
  }
  return ByteArray(std::move(bytes));
}

void BM_CutBOM(benchmark::State& state) {
  const ByteArray bytes = MarkedArray(static_cast<std::size_t>(state.range(0)));
  const ByteArray mark{0xFF, 0xFE};
  for (auto _ : state) benchmark::DoNotOptimize(CutBOM(bytes, mark));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CutBOM)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pagelift
