#pragma once

#include <cstdint>

namespace pagelift {

// Where the markup and the blanks are in 64 units of UTF-16 text: bit k of each mask
// stands for unit k.
struct WindowMasks {
  std::uint64_t opens = 0;   // "<"
  std::uint64_t closes = 0;  // ">"
  std::uint64_t amps = 0;    // "&"
  std::uint64_t blanks = 0;  // tab, LF, CR, space
  // Bit k set when an odd number of units 0..k are "<" or ">". While the two take turns,
  // starting with "<", that is a unit inside a tag.
  std::uint64_t angle_parity = 0;
};

constexpr std::uint64_t PrefixXor(std::uint64_t x) {
  x ^= x << 1;
  x ^= x << 2;
  x ^= x << 4;
  x ^= x << 8;
  x ^= x << 16;
  x ^= x << 32;
  return x;
}

}  // namespace pagelift
