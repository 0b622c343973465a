#pragma once

#include <vector>

namespace pagelift {

// The builds of the vector scans of UTF-16 text (the reduction's, the tokenizer's), one per
// instruction set, plainest first. Each gives the same results; HtmlToText takes the best
// this processor runs.
enum class ScanIsa { kScalar, kSse2, kAvx2 };
inline constexpr ScanIsa kScanIsas[] = {ScanIsa::kScalar, ScanIsa::kSse2, ScanIsa::kAvx2};

// Whether this program holds the build for `isa` and this processor runs it; always true
// for kScalar.
bool CanRun(ScanIsa isa);
// The builds CanRun is true for, in the order of kScanIsas.
const std::vector<ScanIsa>& RunnableScanIsas();
// The last of them.
ScanIsa BestScanIsa();

}  // namespace pagelift
