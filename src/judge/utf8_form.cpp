#include "judge/utf8_form.h"

#include <cstring>

namespace pagelift {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// The end of the run of 7-bit bytes that starts at `p`, eight bytes at a time.
const std::uint8_t* SkipSevenBit(const std::uint8_t* p, const std::uint8_t* end) {
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (p != end && *p < 0x80) ++p;
  return p;
}

}  // namespace

Utf8Form ReadUtf8Form(PageBytes bytes) {
  const std::uint8_t* p = bytes.data();
  const std::uint8_t* const end = p + bytes.size();
  bool multi_byte = false;
  while ((p = SkipSevenBit(p, end)) != end) {
    // The well-formed sequences: the lead byte gives the length and the range of the
    // byte after it, which shuts out overlong forms, surrogates and values past U+10FFFF.
    const std::uint8_t lead = *p;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return Utf8Form::kIllFormed;
    }
    const auto left = static_cast<std::size_t>(end - p);
    for (std::size_t k = 1; k < length; ++k) {
      if (k == left) return multi_byte ? Utf8Form::kMultiByte : Utf8Form::kSevenBit;
      if (p[k] < low || p[k] > high) return Utf8Form::kIllFormed;
      low = 0x80;
      high = 0xBF;
    }
    multi_byte = true;
    p += length;
  }
  return multi_byte ? Utf8Form::kMultiByte : Utf8Form::kSevenBit;
}

}  // namespace pagelift
