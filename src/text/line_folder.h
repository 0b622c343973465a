#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "text/column_width.h"

namespace pagelift {

// The fold of WrapLines for a caller that finds the lines itself: each line given is
// trimmed of its spaces (U+0020) at both ends, dropped when blank, and broken into pieces
// of at most `width` columns (see ColumnWidths), the rest of a broken line trimmed again.
// A piece never splits a surrogate pair, and a character (or pair) wider than `width`
// makes a piece on its own. Lines and pieces are joined by CR LF.
class LineFolder {
 public:
  // `text_size`, the size of all the lines together when known, reserves room once.
  LineFolder(double width, std::size_t text_size);

  // Adds one line, given without its CR LF; a lone CR or LF in it stays.
  void AddLine(const char16_t* start, const char16_t* end);

  // The folded text, ending with one CR LF whatever was added. Leaves the folder empty.
  std::u16string Finish();

 private:
  // Where the piece from `start` ends: before the first character that does not fit.
  const char16_t* PieceEnd(const char16_t* start, const char16_t* end) const;

  void Append(const char16_t* from, const char16_t* to) {
    text_.append(from, static_cast<std::size_t>(to - from));
  }
  void AppendCrLf() {
    text_.push_back(u'\r');
    text_.push_back(u'\n');
  }

  const ColumnWidths& widths_;
  std::int64_t limit_;  // whole columns; INT64_MAX for a width that never folds
  std::u16string text_;
};

}  // namespace pagelift
