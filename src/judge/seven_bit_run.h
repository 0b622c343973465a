#pragma once

#include <cstdint>
#include <cstring>

namespace pagelift::judge_detail {

// The end of the run of 7-bit bytes that starts at `p`, eight bytes at a time.
inline const std::uint8_t* SkipSevenBit(const std::uint8_t* p, const std::uint8_t* end) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (p != end && *p < 0x80) ++p;
  return p;
}

}  // namespace pagelift::judge_detail
