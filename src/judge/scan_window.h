#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/byte_array.h"
#include "judge/judges.h"

namespace pagelift::judge_detail {

// What every judge scans: positions 0 to n-1, with lookahead reaching the array's end.
struct ScanWindow {
  static constexpr std::size_t kMaxPositions = 1000;
  static_assert(kJudgedBytes == kMaxPositions + 5, "a UTF-8 form of six bytes from the last");

  std::span<const std::uint8_t> bytes;  // the whole array
  std::size_t n = 0;                    // number of scan positions

  // Whether the array holds `count` bytes from index `i` on.
  bool Has(std::size_t i, std::size_t count) const { return count <= bytes.size() - i; }
  std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
};

// Throws EmptyArrayError for no bytes.
ScanWindow OpenWindow(PageBytes bytes);

// points x 100 / (2 x n), rounded to the nearest integer with halves to even.
Score ScoreOf(std::int64_t points, std::size_t n);

inline bool InRange(std::uint8_t byte, std::uint8_t low, std::uint8_t high) {
  return byte >= low && byte <= high;
}

}  // namespace pagelift::judge_detail
