#pragma once

#include <string>
#include <string_view>

#include "text/line_folder.h"

namespace pagelift {

// Folds text for the Clipboard: lines split at CR LF only (a lone CR or LF stays inside
// its line), spaces (U+0020) trimmed at both ends of each line, blank lines dropped, each
// line broken into pieces of at most `width` columns (see ColumnWidths), the rest of a
// broken line trimmed again. A piece never splits a surrogate pair, and a character (or
// pair) wider than `width` makes a piece on its own. Lines are joined by CR LF and the
// result always ends with one. `width` is the fold-width field's number (NumberOfText of
// its text).
std::u16string WrapLines(std::u16string_view text, double width);

// WrapLines for a text that comes in parts, cut anywhere, so that it need not be held
// whole: the folded text of all the parts together is WrapLines' of the whole text.
class LineWrapper {
 public:
  // `size`, the text's size when known (or a bound for it), reserves room once.
  LineWrapper(double width, std::size_t size) : folder_(width, size) {}

  // Folds the text's next part; `last` for its last one.
  void Add(std::u16string_view part, bool last);
  // Moves the text folded so far to the end of `out`.
  void TakeText(std::u16string& out) { folder_.TakeText(out); }
  // The rest of the folded text, ending with one CR LF. Call after the last part.
  std::u16string Finish() { return folder_.Finish(); }

 private:
  // Hands the fold the start of a line that may go on in the next part, and keeps what it
  // does not take in `begun_`; with `last` the line ends at `end`.
  void AddLineStart(const char16_t* start, const char16_t* end, bool last);

  LineFolder folder_;
  std::u16string begun_;  // the line begun in earlier parts, as far as the fold left it
};

}  // namespace pagelift
