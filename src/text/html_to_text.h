#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// Reduces a decoded page to plain text in one scan and folds it at `width`, with the
// result WrapLines gives for the reduced text (each line is folded as the scan ends it).
// It is a character scanner, not a parser: markup is recognised only by a
// fixed set of case-insensitive prefixes. Comments, scripts, noscripts and "<style>"
// blocks are dropped, as is every tag; a few tags and entities become line ends or
// spaces; whitespace is dropped except inside "<pre>". Malformed markup is no error;
// the only failure is that of ColumnWidths::Get.
std::u16string HtmlToText(std::u16string_view page, double width);

// The instruction sets the scan is built for. HtmlToText takes the best this processor
// runs; the results are the same.
enum class ScanIsa { kBaseline, kAvx2 };
bool CanRun(ScanIsa isa);
// HtmlToText with the scan built for `isa`, or the baseline one where CanRun(isa) is false.
std::u16string HtmlToText(std::u16string_view page, double width, ScanIsa isa);

}  // namespace pagelift
