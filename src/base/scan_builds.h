#pragma once

#include "base/avx2_scan.h"
#include "base/scalar_scan.h"
#include "base/scan_isa.h"
#include "base/sse2_scan.h"

namespace pagelift {

// The build that every processor of this program's target runs, for a scan that is not
// built for each.
#if defined(PAGELIFT_SSE2_SCAN)
using BaselineScan = Sse2Scan;
#else
using BaselineScan = ScalarScan;
#endif

// Calls `visit` with the build of the scan for `isa` (ScalarScan, Sse2Scan or Avx2Scan,
// whose members are all static), or with ScalarScan where this program holds no build for
// `isa`. The caller checks CanRun(isa) first.
template <typename Visit>
decltype(auto) VisitScanBuild(ScanIsa isa, Visit&& visit) {
  switch (isa) {
#if defined(PAGELIFT_SSE2_SCAN)
    case ScanIsa::kSse2:
      return visit(Sse2Scan{});
#endif
#if defined(PAGELIFT_AVX2_SCAN)
    case ScanIsa::kAvx2:
      return visit(Avx2Scan{});
#endif
    default:
      return visit(ScalarScan{});
  }
}

}  // namespace pagelift
