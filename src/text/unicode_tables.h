#pragma once

#include <cstddef>
#include <cstdint>

namespace pagelift {

// The Line_Break property of UAX #14, as LineBreak.txt gives it (no class resolved yet:
// AI, CJ, SA, SG and XX are there as they are in the file).
// clang-format off
enum class LineBreakClass : std::uint8_t {
  kBK, kCR, kLF, kNL, kSP, kZW, kWJ, kGL, kCM, kZWJ,
  kAI, kAL, kB2, kBA, kBB, kCB, kCJ, kCL, kCP, kEB,
  kEM, kEX, kH2, kH3, kHL, kHY, kID, kIN, kIS, kJL,
  kJT, kJV, kNS, kNU, kOP, kPO, kPR, kQU, kRI, kSA,
  kSG, kSY, kXX
};
// clang-format on

namespace unicode_data {

// Made by scripts/gen_unicode_tables.py from Debian's unicode-data when the library is
// built: one byte per code point, the class in the low six bits, East_Asian_Width W or F
// in kWide, H in kHalfwidth; kBlocks[c >> kBlockShift] is the block of kBytes that holds
// the byte of c.
inline constexpr int kBlockShift = 7;
inline constexpr std::uint8_t kClassMask = 0x3F;
inline constexpr std::uint8_t kWide = 0x40;
inline constexpr std::uint8_t kHalfwidth = 0x80;
extern const std::uint16_t kBlocks[0x110000 >> kBlockShift];
extern const std::uint8_t kBytes[];
extern const char kVersion[];  // of the files the tables were made from, e.g. "15.0.0"

inline std::uint8_t PropertiesOf(char32_t c) {
  if (c > 0x10FFFF) return static_cast<std::uint8_t>(LineBreakClass::kXX);
  constexpr char32_t kLow = (char32_t{1} << kBlockShift) - 1;
  return kBytes[(std::size_t{kBlocks[c >> kBlockShift]} << kBlockShift) | (c & kLow)];
}

}  // namespace unicode_data

// The Line_Break class of a code point; XX for one beyond U+10FFFF.
inline LineBreakClass LineBreakClassOf(char32_t c) {
  return static_cast<LineBreakClass>(unicode_data::PropertiesOf(c) & unicode_data::kClassMask);
}

// Whether the code point's East_Asian_Width is W (wide) or F (fullwidth).
inline bool IsEastAsianWide(char32_t c) {
  return (unicode_data::PropertiesOf(c) & unicode_data::kWide) != 0;
}

}  // namespace pagelift
