#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pagelift::unit_scan {

// Scans of UTF-16 text for a few ASCII characters, eight units at a time where SSE2 is
// there. Pages are long and the characters looked for are rare in their text, so most
// of a page passes through these loops.

#if defined(__SSE2__)
inline __m128i Load(const char16_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Two bits per unit of `block` that is one of `Cs`.
template <char16_t... Cs>
unsigned MatchBits(__m128i block) {
  __m128i found = _mm_setzero_si128();
  ((found = _mm_or_si128(found, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Cs))))),
   ...);
  return static_cast<unsigned>(_mm_movemask_epi8(found));
}

// As MatchBits, testing first for a unit as low as the highest of `Cs`: a block with
// none, which is most blocks of Japanese text, is passed with two instructions.
template <char16_t... Cs>
unsigned LowMatchBits(__m128i block) {
  constexpr char16_t kTop = std::max({Cs...});
  const __m128i above = _mm_subs_epu16(block, _mm_set1_epi16(static_cast<short>(kTop)));
  if (_mm_movemask_epi8(_mm_cmpeq_epi16(above, _mm_setzero_si128())) == 0) return 0;
  return MatchBits<Cs...>(block);
}
#endif

template <char16_t... Cs>
constexpr bool IsOneOf(char16_t c) {
  return ((c == Cs) || ...);
}

// The first unit of [at, end) that is one of `Cs`, or `end`.
template <char16_t... Cs>
[[gnu::always_inline]] inline const char16_t* FindFirstOf(const char16_t* at, const char16_t* end) {
#if defined(__SSE2__)
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
#endif
  while (at < end && !IsOneOf<Cs...>(*at)) ++at;
  return at;
}

// Copies units from `at` to `out` up to the first that is one of `Cs` or `end`, and moves
// both past what was copied. Whole blocks are stored before they are looked at, so `out`
// must have room for as many units as [at, end) holds.
template <char16_t... Cs>
[[gnu::always_inline]] inline void CopyUntil(const char16_t*& at, const char16_t* end,
                                             char16_t*& out) {
  const char16_t* from = at;
  char16_t* to = out;
#if defined(__SSE2__)
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
#endif
  while (from < end && !IsOneOf<Cs...>(*from)) *to++ = *from++;
  at = from;
  out = to;
}

// Copies `length` units (at most 64) from `at` to `out` and moves `out` past them. Whole
// blocks are read and written, up to 7 units past the end of both.
[[gnu::always_inline]] inline void CopyShort(const char16_t* at, unsigned length, char16_t*& out) {
#if defined(__SSE2__)
  for (unsigned k = 0; k < length; k += 8) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), Load(at + k));
  }
#else
  std::copy(at, at + length, out);
#endif
  out += length;
}

}  // namespace pagelift::unit_scan
