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

  // Adds one line, given without its CR LF; a lone CR or LF in it stays. When the line
  // was begun with AddLineStart, [start, end) is the rest of it, from where that said.
  void AddLine(const char16_t* start, const char16_t* end);

  // Adds the start of a line whose end has not come yet, and folds all of it that what
  // follows cannot change. Returns where the part not taken yet begins: the caller gives
  // that part again, with what follows it, to the next AddLineStart or AddLine. All is
  // taken but a last unit that may begin a surrogate pair.
  const char16_t* AddLineStart(const char16_t* start, const char16_t* end);

  // Moves the text folded so far to the end of `out`, so that a long text need not be
  // held whole; Finish gives what comes after it. An empty `out` gives its room to the
  // text folded next, so a caller that empties it each time uses the same two buffers.
  void TakeText(std::u16string& out);

  // The folded text, ending with one CR LF whatever was added. Leaves the folder empty.
  std::u16string Finish();

 private:
  // Starts a line at its first character that is not a space, and puts the CR LF before
  // it; false when [start, end) holds nothing else.
  bool BeginLine(const char16_t*& start, const char16_t* end);
  // Folds [start, end), the begun line or the part of it that has come; `line_ends` when the
  // line ends at `end`, with its trailing spaces removed. Returns where it stopped.
  const char16_t* Fold(const char16_t* start, const char16_t* end, bool line_ends);
  // Where the piece ends in [start, end): before the first character that does not fit
  // into `room` columns, or `end`. `open` when some of the piece came before `start`.
  const char16_t* PieceEnd(const char16_t* start, const char16_t* end, std::int64_t room,
                           bool open) const;
  std::int64_t Columns(const char16_t* start, const char16_t* end) const;

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
  std::u16string taken_tail_;  // the last two units TakeText took, if any
  // The line begun with AddLineStart and not ended yet: the columns its open piece has
  // room for still, and whether some of that piece is in `text_` already.
  bool in_line_ = false;
  std::int64_t room_ = 0;
  bool piece_open_ = false;
  std::int64_t spaces_ = 0;  // spaces that came last, taken but not placed yet
};

}  // namespace pagelift
