#pragma once

#include <cstdint>

#include "base/scan_isa.h"
#include "base/sse2_scan.h"
#include "base/window_masks.h"

#if defined(PAGELIFT_SSE2_SCAN) && defined(__x86_64__)
#define PAGELIFT_AVX2_SCAN 1
#include <immintrin.h>

namespace pagelift {

// The SSE2 build with the masks made with AVX2 and PCLMUL, 32 units at a time, for a caller
// compiled for both that has checked the processor has them (Runs). (A lambda in these
// would not take on the target.)
struct Avx2Scan : Sse2Scan {
  static constexpr ScanIsa kIsa = ScanIsa::kAvx2;
  static bool Runs() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul");
    return has;
  }

  [[gnu::target("avx2,pclmul")]] static WindowMasks Masks(const char16_t* units) {
    WindowMasks m;
    for (int k = 0; k < 2; ++k) {
      const __m256i bytes = Bytes(units + 32 * k);
      const __m256i blanks = _mm256_or_si256(
          _mm256_cmpeq_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x04)), _mm256_set1_epi8('\r')),
          _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\n')),
                          _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(' '))));
      const int shift = 32 * k;
      m.opens |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('<'))))
                 << shift;
      m.closes |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('>'))))
                  << shift;
      m.amps |= Bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('&'))))
                << shift;
      m.blanks |= Bits(_mm256_movemask_epi8(blanks)) << shift;
    }
    // A carry-less multiply by all ones is the prefix XOR in one instruction.
    const __m128i angles = _mm_set_epi64x(0, static_cast<long long>(m.opens | m.closes));
    m.angle_parity = static_cast<std::uint64_t>(
        _mm_cvtsi128_si64(_mm_clmulepi64_si128(angles, _mm_set1_epi8(-1), 0)));
    return m;
  }

  [[gnu::target("avx2,pclmul")]] static std::uint64_t Angles(const char16_t* units) {
    std::uint64_t angles = 0;
    for (int k = 0; k < 2; ++k) {
      const __m256i bytes = Bytes(units + 32 * k);
      const __m256i found =
          _mm256_cmpeq_epi8(_mm256_or_si256(bytes, _mm256_set1_epi8(0x02)), _mm256_set1_epi8('>'));
      angles |= Bits(_mm256_movemask_epi8(found)) << (32 * k);
    }
    return angles;
  }

 private:
  [[gnu::target("avx2,pclmul")]] static __m256i Bytes(const char16_t* units) {
    const auto* blocks = reinterpret_cast<const __m256i*>(units);
    // The pack works within each 128-bit half; the permute puts the units back in order.
    return _mm256_permute4x64_epi64(
        _mm256_packs_epi16(_mm256_loadu_si256(blocks), _mm256_loadu_si256(blocks + 1)), 0xD8);
  }
};

}  // namespace pagelift
#endif
