#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "base/scalar_scan.h"
#include "base/scan_isa.h"
#include "base/window_masks.h"

#if defined(__SSE2__)
#define PAGELIFT_SSE2_SCAN 1
#include <emmintrin.h>

namespace pagelift {

// The scan with what every processor of an x86-64 target has: the masks 16 units at a
// time, runs 8 at a time.
struct Sse2Scan {
  static constexpr ScanIsa kIsa = ScanIsa::kSse2;
  static bool Runs() { return true; }

  // Tab (0x09) and CR (0x0D) are the two bytes that give 0x0D with 0x04 set.
  [[gnu::always_inline]] static WindowMasks Masks(const char16_t* units) {
    WindowMasks m;
    for (int k = 0; k < 4; ++k) {
      const __m128i bytes = Bytes(units + 16 * k);
      const auto is = [&](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
      const __m128i blanks = _mm_or_si128(
          _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x04)), _mm_set1_epi8('\r')),
          _mm_or_si128(is('\n'), is(' ')));
      const int shift = 16 * k;
      m.opens |= Bits(_mm_movemask_epi8(is('<'))) << shift;
      m.closes |= Bits(_mm_movemask_epi8(is('>'))) << shift;
      m.amps |= Bits(_mm_movemask_epi8(is('&'))) << shift;
      m.blanks |= Bits(_mm_movemask_epi8(blanks)) << shift;
    }
    m.angle_parity = PrefixXor(m.opens | m.closes);
    return m;
  }

  // "<" and ">" are the only bytes that give ">" with 0x02 set.
  [[gnu::always_inline]] static std::uint64_t Angles(const char16_t* units) {
    std::uint64_t angles = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i bytes = Bytes(units + 16 * k);
      const __m128i found =
          _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x02)), _mm_set1_epi8('>'));
      angles |= Bits(_mm_movemask_epi8(found)) << (16 * k);
    }
    return angles;
  }

  template <char16_t... Cs>
  [[gnu::always_inline]] static const char16_t* FindFirstOf(const char16_t* at,
                                                            const char16_t* end) {
    // Most runs end in their first block; past it, two blocks a step for the long ones.
    if (end - at >= 8) {
      if (const unsigned bits = MatchBits<Cs...>(Load(at)); bits != 0) {
        return at + std::countr_zero(bits) / 2;
      }
      at += 8;
      for (; end - at >= 16; at += 16) {
        const unsigned bits = MatchBits<Cs...>(Load(at)) | MatchBits<Cs...>(Load(at + 8)) << 16;
        if (bits != 0) return at + std::countr_zero(bits) / 2;
      }
    }
    for (; end - at >= 8; at += 8) {
      if (const unsigned bits = MatchBits<Cs...>(Load(at)); bits != 0) {
        return at + std::countr_zero(bits) / 2;
      }
    }
    return ScalarScan::FindFirstOf<Cs...>(at, end);
  }

  template <char16_t... Cs>
  [[gnu::always_inline]] static void CopyUntil(const char16_t*& at, const char16_t* end,
                                               char16_t*& out) {
    const char16_t* from = at;
    char16_t* to = out;
    while (end - from >= 8) {
      const __m128i block = Load(from);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), block);
      if (const unsigned bits = LowMatchBits<Cs...>(block); bits != 0) {
        const std::ptrdiff_t n = std::countr_zero(bits) / 2;
        at = from + n;
        out = to + n;
        return;
      }
      from += 8;
      to += 8;
    }
    at = from;
    out = to;
    ScalarScan::CopyUntil<Cs...>(at, end, out);
  }

  [[gnu::always_inline]] static void CopyShort(const char16_t* at, unsigned length,
                                               char16_t*& out) {
    for (unsigned k = 0; k < length; k += 8) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), Load(at + k));
    }
    out += length;
  }

 protected:
  static std::uint64_t Bits(int movemask) { return static_cast<std::uint32_t>(movemask); }

 private:
  static __m128i Load(const char16_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  }

  // 16 units as 16 bytes. Packing with signed saturation keeps ASCII as it is and turns
  // every other unit into 0x7F or 0x80, none of which is looked for.
  static __m128i Bytes(const char16_t* units) {
    return _mm_packs_epi16(Load(units), Load(units + 8));
  }

  // Two bits per unit of `block` that is one of `Cs`.
  template <char16_t... Cs>
  static unsigned MatchBits(__m128i block) {
    __m128i found = _mm_setzero_si128();
    ((found = _mm_or_si128(found, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Cs))))),
     ...);
    return static_cast<unsigned>(_mm_movemask_epi8(found));
  }

  // As MatchBits, testing first for a unit as low as the highest of `Cs`: a block with
  // none, which is most blocks of Japanese text, is passed with two instructions.
  template <char16_t... Cs>
  static unsigned LowMatchBits(__m128i block) {
    constexpr char16_t kTop = std::max({Cs...});
    const __m128i above = _mm_subs_epu16(block, _mm_set1_epi16(static_cast<short>(kTop)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(above, _mm_setzero_si128())) == 0) return 0;
    return MatchBits<Cs...>(block);
  }
};

}  // namespace pagelift
#endif
