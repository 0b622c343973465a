#include "base/scan_isa.h"

#include "base/scan_builds.h"

namespace pagelift {

bool CanRun(ScanIsa isa) {
  return VisitScanBuild(isa, [isa](auto build) { return build.kIsa == isa && build.Runs(); });
}

const std::vector<ScanIsa>& RunnableScanIsas() {
  static const std::vector<ScanIsa> runnable = [] {
    std::vector<ScanIsa> isas;
    for (const ScanIsa isa : kScanIsas) {
      if (CanRun(isa)) isas.push_back(isa);
    }
    return isas;
  }();
  return runnable;
}

ScanIsa BestScanIsa() {
  return RunnableScanIsas().back();
}

}  // namespace pagelift
