#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/column_width.h"

namespace pagelift {

// The fold of the readable text forms, which lay a page out line by line: each line is
// folded as it comes, so that a page of any size streams through.
//
// - A line is trimmed of its spaces (U+0020) at both ends and broken into pieces of at
//   most `width` columns (see ColumnWidths) at the break opportunities of UAX #14 (see
//   LineBreaker): a piece ends at the last opportunity that lets it fit, so no word is
//   cut. No piece begins with a character of class CL, CP, EX, IS, NS or CJ, nor ends with
//   one of class OP. The spaces at a break go.
// - A run with no break opportunity wider than `width` is cut, at the last place in the
//   second half of the piece where the rules above hold, else at `width`. A character
//   (or surrogate pair) wider than `width` stands alone on its line.
// - A preformatted line is cut at `width` columns and not trimmed.
// - An empty line is kept: a blank line between two others. Blank lines at the start
//   and the end of the text go, and two blank lines in a row that are not preformatted
//   count as one.
//
// Lines and pieces are joined by CR LF, and the text ends with one.
class FormFolder {
 public:
  // `width`: the fold-width field's number (NumberOfText of its text).
  explicit FormFolder(double width);

  // Adds one line, given without its line end; empty for a blank line.
  void AddLine(std::u16string_view line, bool preformatted);

  // Room for `units` of folded text, made beforehand: a text that grows by doubling copies
  // itself and faults in fresh memory each time.
  void Reserve(std::size_t units);

  // Moves the text folded so far to the end of `out`. An empty `out` gives its room to
  // the text folded next, so a caller that empties it each time uses the same two buffers.
  void TakeText(std::u16string& out);

  // The rest of the folded text, ending with one CR LF whatever was added. Leaves the
  // folder empty.
  std::u16string Finish();

 private:
  // Whether the line is no wider than the width: it is then kept whole.
  bool Fits(std::u16string_view line) const;
  void FoldLine(std::u16string_view line);
  void CutPreformatted(std::u16string_view line);
  // Where a run with no break opportunity is cut when the code point at `at` (`width`
  // columns, at column `at_column`) does not fit the piece that begins at `start`, at
  // column `start_column`. Sets `at_column` to the column of the place returned.
  std::size_t CutInRun(std::u16string_view line, std::size_t start, std::int64_t start_column,
                       std::size_t at, std::int64_t& at_column, int width) const;
  // Appends [start, end) of `line`, less its spaces at the end, and a CR LF.
  void AppendPiece(std::u16string_view line, std::size_t start, std::size_t end);
  void AppendCrLf() { text_.append(u"\r\n"); }

  const ColumnWidths& widths_;
  std::int64_t limit_;  // whole columns; INT64_MAX for a width that never folds
  std::u16string text_;
  bool any_line_ = false;        // a line that is not blank has come
  std::size_t blank_lines_ = 0;  // blank lines that came last, not written yet
};

}  // namespace pagelift
