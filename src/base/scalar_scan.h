#pragma once

#include <algorithm>
#include <cstdint>

#include "base/scan_isa.h"
#include "base/window_masks.h"

namespace pagelift {

template <char16_t... Cs>
constexpr bool IsOneOf(char16_t c) {
  return ((c == Cs) || ...);
}

// What the reduction's scan is built of, in plain loops that any processor runs. The
// other builds (see scan_builds.h) have the same members, with the same results.
//
// Pages are long and the characters looked for are rare in their text, so most of a page
// passes through these.
struct ScalarScan {
  static constexpr ScanIsa kIsa = ScanIsa::kScalar;
  static bool Runs() { return true; }

  // The masks of the 64 units from `units`.
  [[gnu::always_inline]] static WindowMasks Masks(const char16_t* units) {
    WindowMasks m;
    for (int k = 0; k < 64; ++k) {
      const std::uint64_t bit = std::uint64_t{1} << k;
      if (units[k] == u'<') m.opens |= bit;
      if (units[k] == u'>') m.closes |= bit;
      if (units[k] == u'&') m.amps |= bit;
      if (IsOneOf<u'\t', u'\n', u'\r', u' '>(units[k])) m.blanks |= bit;
    }
    m.angle_parity = PrefixXor(m.opens | m.closes);
    return m;
  }

  // Bit k set when unit k of the 64 from `units` is "<" or ">": all a region needs.
  [[gnu::always_inline]] static std::uint64_t Angles(const char16_t* units) {
    std::uint64_t angles = 0;
    for (int k = 0; k < 64; ++k) {
      if (IsOneOf<u'<', u'>'>(units[k])) angles |= std::uint64_t{1} << k;
    }
    return angles;
  }

  // The first unit of [at, end) that is one of `Cs`, or `end`.
  template <char16_t... Cs>
  [[gnu::always_inline]] static const char16_t* FindFirstOf(const char16_t* at,
                                                            const char16_t* end) {
    while (at < end && !IsOneOf<Cs...>(*at)) ++at;
    return at;
  }

  // Copies units from `at` to `out` up to the first that is one of `Cs` or `end`, and moves
  // both past what was copied. A build may store whole blocks before it looks at them, so
  // `out` must have room for as many units as [at, end) holds.
  template <char16_t... Cs>
  [[gnu::always_inline]] static void CopyUntil(const char16_t*& at, const char16_t* end,
                                               char16_t*& out) {
    const char16_t* from = at;
    char16_t* to = out;
    while (from < end && !IsOneOf<Cs...>(*from)) *to++ = *from++;
    at = from;
    out = to;
  }

  // Copies `length` units (at most 64) from `at` to `out` and moves `out` past them. A build
  // may read and write whole blocks, up to 7 units past the end of both.
  [[gnu::always_inline]] static void CopyShort(const char16_t* at, unsigned length,
                                               char16_t*& out) {
    out = std::copy(at, at + length, out);
  }
};

}  // namespace pagelift
