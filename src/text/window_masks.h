#pragma once

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "text/unit_scan.h"

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

namespace window_masks {

constexpr std::uint64_t PrefixXor(std::uint64_t x) {
  x ^= x << 1;
  x ^= x << 2;
  x ^= x << 4;
  x ^= x << 8;
  x ^= x << 16;
  x ^= x << 32;
  return x;
}

inline std::uint64_t Bits(int movemask) {
  return static_cast<std::uint32_t>(movemask);
}

#if defined(__SSE2__)
// 16 units as 16 bytes. Packing with signed saturation keeps ASCII as it is and turns every
// other unit into 0x7F or 0x80, none of which is looked for.
inline __m128i BaselineBytes(const char16_t* units) {
  return _mm_packs_epi16(unit_scan::Load(units), unit_scan::Load(units + 8));
}
#endif

// The masks with what every processor of the build's target has: SSE2 on x86-64. Tab
// (0x09) and CR (0x0D) are the two bytes that give 0x0D with 0x04 set.
[[gnu::always_inline]] inline WindowMasks Baseline(const char16_t* units) {
  WindowMasks m;
#if defined(__SSE2__)
  for (int k = 0; k < 4; ++k) {
    const __m128i bytes = BaselineBytes(units + 16 * k);
    const auto is = [&](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    const __m128i blanks =
        _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x04)), _mm_set1_epi8('\r')),
                     _mm_or_si128(is('\n'), is(' ')));
    const int shift = 16 * k;
    m.opens |= Bits(_mm_movemask_epi8(is('<'))) << shift;
    m.closes |= Bits(_mm_movemask_epi8(is('>'))) << shift;
    m.amps |= Bits(_mm_movemask_epi8(is('&'))) << shift;
    m.blanks |= Bits(_mm_movemask_epi8(blanks)) << shift;
  }
#else
  for (int k = 0; k < 64; ++k) {
    const std::uint64_t bit = std::uint64_t{1} << k;
    if (units[k] == u'<') m.opens |= bit;
    if (units[k] == u'>') m.closes |= bit;
    if (units[k] == u'&') m.amps |= bit;
    if (unit_scan::IsOneOf<u'\t', u'\n', u'\r', u' '>(units[k])) m.blanks |= bit;
  }
#endif
  m.angle_parity = PrefixXor(m.opens | m.closes);
  return m;
}

// Bit k set when unit k of the 64 is "<" or ">": all a region needs. Those two are the
// only bytes that give ">" with 0x02 set.
[[gnu::always_inline]] inline std::uint64_t BaselineAngles(const char16_t* units) {
  std::uint64_t angles = 0;
#if defined(__SSE2__)
  for (int k = 0; k < 4; ++k) {
    const __m128i bytes = BaselineBytes(units + 16 * k);
    const __m128i found =
        _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x02)), _mm_set1_epi8('>'));
    angles |= Bits(_mm_movemask_epi8(found)) << (16 * k);
  }
#else
  for (int k = 0; k < 64; ++k) {
    if (unit_scan::IsOneOf<u'<', u'>'>(units[k])) angles |= std::uint64_t{1} << k;
  }
#endif
  return angles;
}

#if defined(__x86_64__)
// The same with AVX2, 32 units at a time, for a caller compiled for AVX2 and PCLMUL that
// has checked the processor has them. (A lambda here would not take on the target.)
[[gnu::target("avx2,pclmul")]] inline __m256i Avx2Bytes(const char16_t* units) {
  const auto* blocks = reinterpret_cast<const __m256i*>(units);
  // The pack works within each 128-bit half; the permute puts the units back in order.
  return _mm256_permute4x64_epi64(
      _mm256_packs_epi16(_mm256_loadu_si256(blocks), _mm256_loadu_si256(blocks + 1)), 0xD8);
}

[[gnu::target("avx2,pclmul")]] inline WindowMasks Avx2(const char16_t* units) {
  WindowMasks m;
  for (int k = 0; k < 2; ++k) {
    const __m256i bytes = Avx2Bytes(units + 32 * k);
    const __m256i blanks = _mm256_or_si256(
        _mm256_cmpeq_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x04)), _mm256_set1_epi8('\r')),
        _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\n')),
                        _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(' '))));
    const int shift = 32 * k;
    m.opens |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('<')))) << shift;
    m.closes |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('>'))))
                << shift;
    m.amps |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('&')))) << shift;
    m.blanks |= Bits(_mm256_movemask_epi8(blanks)) << shift;
  }
  // A carry-less multiply by all ones is the prefix XOR in one instruction.
  const __m128i angles = _mm_set_epi64x(0, static_cast<long long>(m.opens | m.closes));
  m.angle_parity = static_cast<std::uint64_t>(
      _mm_cvtsi128_si64(_mm_clmulepi64_si128(angles, _mm_set1_epi8(-1), 0)));
  return m;
}

[[gnu::target("avx2,pclmul")]] inline std::uint64_t Avx2Angles(const char16_t* units) {
  std::uint64_t angles = 0;
  for (int k = 0; k < 2; ++k) {
    const __m256i bytes = Avx2Bytes(units + 32 * k);
    const __m256i found =
        _mm256_cmpeq_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x02)), _mm256_set1_epi8('>'));
    angles |= Bits(_mm256_movemask_epi8(found)) << (32 * k);
  }
  return angles;
}

// Whether this processor runs Avx2.
inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul");
  return has;
}
#endif

}  // namespace window_masks
}  // namespace pagelift
