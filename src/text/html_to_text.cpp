#include "text/html_to_text.h"

#include <memory>

#include "base/scan_builds.h"
#include "text/html_reducer.h"
#include "text/line_folder.h"
#include "text/open_line.h"
#include "text/page_cut.h"

namespace pagelift {

namespace {

template <typename Build>
void ReducePart(Build, const char16_t* begin, const char16_t* end, html::OpenLine& line,
                bool last) {
  html::Reducer<Build>(begin, end, line).Run(last);
}

#if defined(PAGELIFT_AVX2_SCAN)
// With AVX2 the window's masks take half the instructions. The whole scan is compiled
// again for it, so that they are built in line.
[[gnu::target("avx2,pclmul"), gnu::flatten]] void ReduceWithAvx2(const char16_t* begin,
                                                                 const char16_t* end,
                                                                 html::OpenLine& line, bool last) {
  html::Reducer<Avx2Scan>(begin, end, line).Run(last);
}

// ReducePart for the AVX2 build. ReduceWithAvx2 takes no tag: GCC would make a copy of it
// without the unused argument, and not flatten the copy.
void ReducePart(Avx2Scan, const char16_t* begin, const char16_t* end, html::OpenLine& line,
                bool last) {
  ReduceWithAvx2(begin, end, line, last);
}
#endif

}  // namespace

// The scan of one page, in the build for the instruction set chosen.
class PageReducer::Scan {
 public:
  Scan(double width, std::size_t size, ScanIsa isa)
      : folder_(width, size), line_(folder_), isa_(CanRun(isa) ? isa : ScanIsa::kScalar) {}

  void Run(const char16_t* begin, const char16_t* end, bool last) {
    VisitScanBuild(isa_, [&](auto build) { ReducePart(build, begin, end, line_, last); });
  }

  void TakeText(std::u16string& out) { folder_.TakeText(out); }
  std::u16string Finish() { return folder_.Finish(); }

 private:
  LineFolder folder_;
  html::OpenLine line_;
  ScanIsa isa_;
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

void PageReducer::TakeText(std::u16string& out) {
  scan_->TakeText(out);
}

std::u16string PageReducer::Finish() {
  scan_->Run(input_.data(), input_.data() + input_.size(), true);
  input_.clear();
  return scan_->Finish();
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
