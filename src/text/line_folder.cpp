#include "text/line_folder.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "base/huge_pages.h"

namespace pagelift {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";

bool IsSurrogatePair(char16_t first, char16_t second) {
  return first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
}

}  // namespace

LineFolder::LineFolder(double width, std::size_t text_size)
    : widths_(ColumnWidths::Get()), limit_(WholeColumns(width)) {
  // A piece followed by a fold has at least limit - 1 columns, so at least (limit - 1) / 2
  // characters (one when the limit is below 3); the kept characters and the CR LF after
  // each line take no more room than the text itself, plus the last CR LF.
  const auto least_piece = static_cast<std::size_t>(std::max<std::int64_t>(1, (limit_ - 1) / 2));
  ReserveLarge(text_, text_size + kCrLf.size() + kCrLf.size() * (text_size / least_piece));
}

// One walk over the piece: eight characters at a time while all of them fit, then one at
// a time.
[[gnu::always_inline]] inline const char16_t* LineFolder::PieceEnd(const char16_t* start,
                                                                   const char16_t* end,
                                                                   std::int64_t room,
                                                                   bool open) const {
  const char16_t* at = start;
  while (room >= 8 && end - at >= 8) {
    const int block = widths_.Of(at[0]) + widths_.Of(at[1]) + widths_.Of(at[2]) +
                      widths_.Of(at[3]) + widths_.Of(at[4]) + widths_.Of(at[5]) +
                      widths_.Of(at[6]) + widths_.Of(at[7]);
    if (room < block) break;
    room -= block;
    at += 8;
  }
  while (at < end) {
    room -= widths_.Of(*at);
    if (room < 0) break;
    ++at;
  }
  if (at == end) return end;
  // A limit below the first character's width would give an empty piece forever; that
  // character then stands alone on its line, so the fold always ends.
  if (at == start && !open) ++at;
  // Never break a surrogate pair: both halves of a broken pair would be lost. The pair
  // goes to the next piece, or stands alone when it begins this one.
  if (at > start && at < end && IsSurrogatePair(at[-1], at[0])) {
    at = at - 1 > start || open ? at - 1 : at + 1;
  }
  return at;
}

std::int64_t LineFolder::Columns(const char16_t* start, const char16_t* end) const {
  std::int64_t columns = 0;
  for (; start < end; ++start) columns += widths_.Of(*start);
  return columns;
}

[[gnu::always_inline]] inline bool LineFolder::BeginLine(const char16_t*& start,
                                                         const char16_t* end) {
  while (start < end && *start == u' ') ++start;
  if (start == end) return false;  // a blank line, or the spaces a line begins with
  if (!text_.empty() || !taken_tail_.empty()) AppendCrLf();
  in_line_ = true;
  room_ = limit_;
  piece_open_ = false;
  return true;
}

void LineFolder::AddLine(const char16_t* start, const char16_t* end) {
  while (end > start && end[-1] == u' ') --end;
  if (!in_line_) {
    if (!BeginLine(start, end)) return;
    // No character takes more than two columns, so a line of at most limit / 2 characters
    // fits without being counted: most lines.
    if (end - start <= limit_ / 2) {
      Append(start, end);
      in_line_ = false;
      return;
    }
  }
  Fold(start, end, true);
  in_line_ = false;
  spaces_ = 0;  // spaces at the end of a line go
}

const char16_t* LineFolder::AddLineStart(const char16_t* start, const char16_t* end) {
  if (!in_line_ && !BeginLine(start, end)) return end;
  return Fold(start, end, false);
}

const char16_t* LineFolder::Fold(const char16_t* start, const char16_t* end, bool line_ends) {
  const std::int64_t limit = limit_;
  std::int64_t room = room_;
  bool open = piece_open_;
  if (spaces_ > 0) {
    // Spaces came before [start, end) in the line. Only when something else follows them
    // are they the line's: as many as the open piece holds, the rest going with the fold.
    while (start < end && *start == u' ') {
      ++start;
      ++spaces_;
    }
    if (start == end) return end;
    if (spaces_ <= room) {
      text_.append(static_cast<std::size_t>(spaces_), u' ');
      room -= spaces_;
    } else {
      text_.append(static_cast<std::size_t>(std::max<std::int64_t>(room, 0)), u' ');
      AppendCrLf();
      room = limit;
      open = false;
    }
    spaces_ = 0;
  }
  for (;;) {
    // No character takes more than two columns, so a rest of at most limit / 2 characters
    // fits without being counted.
    if (line_ends && !open && end - start <= limit / 2) break;
    const char16_t* const piece_end = PieceEnd(start, end, room, open);
    if (piece_end == end) break;
    const char16_t* rest = piece_end;
    while (rest < end && *rest == u' ') ++rest;
    if (rest == end) break;  // only spaces follow, which may end the line: they wait
    Append(start, piece_end);
    AppendCrLf();
    room = limit;
    open = false;
    start = rest;
  }
  if (line_ends) {
    Append(start, end);
    return end;
  }
  // What stays in the open piece whatever follows: all but a surrogate that may begin a
  // pair, or the spaces that may end the line, which are counted rather than kept. (When
  // the piece is full before `end`, only spaces follow it.)
  const char16_t* keep = end;
  if (keep > start && keep[-1] >= 0xD800 && keep[-1] <= 0xDBFF) {
    --keep;
  } else {
    while (keep > start && keep[-1] == u' ') --keep;
    spaces_ = end - keep;
  }
  room_ = room - Columns(start, keep);
  piece_open_ = open || keep > start;
  Append(start, keep);
  return spaces_ > 0 ? end : keep;
}

void LineFolder::TakeText(std::u16string& out) {
  if (text_.empty()) return;
  taken_tail_ += text_.substr(text_.size() - std::min<std::size_t>(text_.size(), 2));
  taken_tail_.erase(0, taken_tail_.size() - std::min<std::size_t>(taken_tail_.size(), 2));
  if (out.empty()) {
    // The caller's empty buffer becomes the next one: a text taken piece by piece moves
    // between two buffers instead of being copied.
    text_.swap(out);
  } else {
    out += text_;
  }
  text_.clear();
}

std::u16string LineFolder::Finish() {
  const std::u16string tail =
      taken_tail_ + text_.substr(text_.size() - std::min<std::size_t>(text_.size(), 2));
  if (!tail.ends_with(kCrLf)) AppendCrLf();
  return std::move(text_);
}

}  // namespace pagelift
