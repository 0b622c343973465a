#include "text/html_to_text.h"

#include <memory>

#include "text/html_reducer.h"
#include "text/line_folder.h"
#include "text/page_cut.h"
#include "text/window_masks.h"

namespace pagelift {

namespace {

using BaselineReducer = html::Reducer<window_masks::Baseline, window_masks::BaselineAngles>;
#if defined(__x86_64__)
using Avx2Reducer = html::Reducer<window_masks::Avx2, window_masks::Avx2Angles>;

// With AVX2 the window's masks take half the instructions. The whole scan is compiled
// again for it, so that they are built in line.
[[gnu::target("avx2,pclmul"), gnu::flatten]] void ReduceWithAvx2(const char16_t* begin,
                                                                 const char16_t* end,
                                                                 html::OpenLine& line, bool last) {
  Avx2Reducer(begin, end, line).Run(last);
}
#endif

}  // namespace

// The scan of one page, in the build for the instruction set chosen.
class PageReducer::Scan {
 public:
  Scan(double width, std::size_t size, ScanIsa isa)
      : folder_(width, size), line_(folder_), avx2_(isa == ScanIsa::kAvx2 && CanRun(isa)) {}

  void Run(const char16_t* begin, const char16_t* end, bool last) {
#if defined(__x86_64__)
    if (avx2_) {
      ReduceWithAvx2(begin, end, line_, last);
      return;
    }
#endif
    BaselineReducer(begin, end, line_).Run(last);
  }

  std::u16string Finish() {
    return folder_.Finish();
  }

 private:
  LineFolder folder_;
  html::OpenLine line_;
  bool avx2_;
};

PageReducer::PageReducer(double width, std::size_t size, ScanIsa isa)
    : scan_(std::make_unique<Scan>(width, size, isa)) {}

PageReducer::PageReducer(double width, std::size_t size)
    : PageReducer(width, size, BestScanIsa()) {}

PageReducer::~PageReducer() = default;

void PageReducer::Reduce() {
  const char16_t* const begin = input_.data();
  const char16_t* const cut = html::LastCut(begin, begin + input_.size());
  if (cut == begin) return;
  scan_->Run(begin, cut, false);
  input_.erase(0, static_cast<std::size_t>(cut - begin));
}

std::u16string PageReducer::Finish() {
  scan_->Run(input_.data(), input_.data() + input_.size(), true);
  input_.clear();
  return scan_->Finish();
}

bool CanRun(ScanIsa isa) {
#if defined(__x86_64__)
  if (isa == ScanIsa::kAvx2) return window_masks::HasAvx2();
#endif
  return isa == ScanIsa::kBaseline;
}

ScanIsa BestScanIsa() {
  return CanRun(ScanIsa::kAvx2) ? ScanIsa::kAvx2 : ScanIsa::kBaseline;
}

std::u16string HtmlToText(std::u16string_view page, double width, ScanIsa isa) {
  // The reduced text's size is known only when the scan ends; the page's is an upper bound
  // for it outside "<pre>", and room reserved but never written takes no memory.
  PageReducer::Scan scan(width, page.size(), isa);
  scan.Run(page.data(), page.data() + page.size(), true);
  return scan.Finish();
}

std::u16string HtmlToText(std::u16string_view page, double width) {
  return HtmlToText(page, width, BestScanIsa());
}

}  // namespace pagelift
