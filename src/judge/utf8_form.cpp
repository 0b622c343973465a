#include "judge/utf8_form.h"

#include "judge/seven_bit_run.h"

namespace pagelift {

Utf8Form ReadUtf8Form(PageBytes bytes) {
  const std::uint8_t* p = bytes.data();
  const std::uint8_t* const end = p + bytes.size();
  bool multi_byte = false;
  while ((p = judge_detail::SkipSevenBit(p, end)) != end) {
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
