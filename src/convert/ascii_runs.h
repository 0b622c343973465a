#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pagelift::ascii_runs {

// Runs of ASCII, which every charset here writes as itself and which make most of a
// page's markup, copied sixteen at a time; what is not ASCII is left to the converter.
// Both copies write whole blocks: the destination needs room for 16 more beyond where the
// run ends, and what comes next is written over them.

// Copies ASCII bytes from `at` as units, up to the first other byte or to the last 15
// bytes, and moves both past what was copied.
[[gnu::always_inline]] inline void WidenBlocks(const std::uint8_t*& at, const std::uint8_t* end,
                                               char16_t*& to) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (end - at >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi8(block, zero));
    if (const int others = _mm_movemask_epi8(block); others != 0) {
      const int ascii = __builtin_ctz(static_cast<unsigned>(others));
      at += ascii;
      to += ascii;
      return;
    }
    at += 16;
    to += 16;
  }
#else
  (void)at;
  (void)end;
  (void)to;
#endif
}

// Copies ASCII bytes from `at` as units up to the first other byte or `end`.
[[gnu::always_inline]] inline void Widen(const std::uint8_t*& at, const std::uint8_t* end,
                                         char16_t*& to) {
  WidenBlocks(at, end, to);
  while (at < end && *at < 0x80) *to++ = *at++;
}

// Copies ASCII units from `at` as bytes up to the first other unit or `end`.
[[gnu::always_inline]] inline void Narrow(const char16_t*& at, const char16_t* end, char*& to) {
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  while (end - at >= 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8));
    const __m128i bytes = _mm_packus_epi16(first, second);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
    // A unit above 0x7F sets a bit under `high` (the pack would make 0xFF of it).
    const __m128i others =
        _mm_cmpeq_epi16(_mm_and_si128(_mm_or_si128(first, second), high), _mm_setzero_si128());
    if (_mm_movemask_epi8(others) != 0xFFFF) break;
    at += 16;
    to += 16;
  }
#endif
  while (at < end && *at < 0x80) *to++ = static_cast<char>(*at++);
}

// Just past the first byte of the first run of ASCII from `at` that fills a block of 16
// (looked for a block at a time, so a run of up to 30 bytes may be passed over), or
// `end`. Where a converter must read the bytes between runs, it reads shorter runs at its
// own speed rather than stop for each.
inline const std::uint8_t* PastLongRunStart(const std::uint8_t* at, const std::uint8_t* end) {
  for (const std::uint8_t* block = at; end - block >= 16; block += 16) {
#if defined(__SSE2__)
    if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block))) != 0) {
      continue;
    }
#else
    bool ascii = true;
    for (int k = 0; k < 16; ++k) ascii = ascii && block[k] < 0x80;
    if (!ascii) continue;
#endif
    const std::uint8_t* first = block;
    while (first > at && first[-1] < 0x80) --first;
    return first + 1;
  }
  return end;
}

}  // namespace pagelift::ascii_runs
