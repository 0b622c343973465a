#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "base/scan_isa.h"

namespace pagelift {

// Reduces a decoded page to plain text in one scan and folds it at `width`, with the
// result WrapLines gives for the reduced text (each line is folded as the scan ends it).
// It is a character scanner, not a parser: markup is recognised only by a
// fixed set of case-insensitive prefixes. Comments, scripts, noscripts and "<style>"
// blocks are dropped, as is every tag; a few tags and entities become line ends or
// spaces; whitespace is dropped except inside "<pre>". Malformed markup is no error;
// the only failure is that of ColumnWidths::Get.
std::u16string HtmlToText(std::u16string_view page, double width);

// HtmlToText with the scan built for `isa`, or the scalar one where CanRun(isa) is false.
std::u16string HtmlToText(std::u16string_view page, double width, ScanIsa isa);

// HtmlToText for a page that comes in parts, cut anywhere, so that no more than a part of
// it need be held at a time: each part is appended to Input() and Reduce() takes what it
// can of it; Finish() takes the rest and gives HtmlToText's text of the whole page.
class PageReducer {
 public:
  // `size`, the page's size in units when known (or a bound for it), reserves room for the
  // text once.
  PageReducer(double width, std::size_t size);
  PageReducer(double width, std::size_t size, ScanIsa isa);
  ~PageReducer();
  PageReducer(const PageReducer&) = delete;
  PageReducer& operator=(const PageReducer&) = delete;

  // Where the page's next part is appended.
  std::u16string& Input() { return input_; }
  // Reduces Input() up to a place near its end where the page may be cut (a few units
  // before it, as a rule), and removes that from it.
  void Reduce();
  // Moves the text folded so far to the end of `out` (see LineFolder::TakeText), so that
  // a long text need not be held whole; Finish gives what comes after it.
  void TakeText(std::u16string& out);
  // Reduces what is left and returns the folded text. Call once.
  std::u16string Finish();

  // The scan of one page, in the build for one instruction set; HtmlToText runs one over
  // a whole page.
  class Scan;

 private:
  std::unique_ptr<Scan> scan_;
  std::u16string input_;
};

}  // namespace pagelift
