#include "text/wrap_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "text/column_width.h"
#include "text/unit_scan.h"

namespace pagelift {

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";

// Widths are whole numbers, so a piece fits `width` exactly when it fits its whole part.
// Anything not below 2^62 (infinity and NaN included) never folds.
std::int64_t WholeColumns(double width) {
  if (!(width < 0x1p62)) return INT64_MAX;
  if (width < 0) return -1;
  return static_cast<std::int64_t>(std::floor(width));
}

bool IsSurrogatePair(char16_t first, char16_t second) {
  return first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
}

bool IsCrLf(const char16_t* at, const char16_t* end) {
  return at[0] == u'\r' && at + 1 < end && at[1] == u'\n';
}

// The folded text, with room reserved once so that no piece makes it grow and move. A piece
// followed by a fold has at least limit - 1 columns, so at least (limit - 1) / 2
// characters (one when the limit is below 3); the kept characters and the CR LF after each
// line take no more room than the text itself, plus the last CR LF.
class FoldedText {
 public:
  FoldedText(std::size_t text_size, std::int64_t limit) {
    const auto least_piece = static_cast<std::size_t>(std::max<std::int64_t>(1, (limit - 1) / 2));
    text_.reserve(text_size + kCrLf.size() + kCrLf.size() * (text_size / least_piece));
  }

  bool Empty() const { return text_.empty(); }
  bool EndsWithCrLf() const { return text_.ends_with(kCrLf); }
  void Append(const char16_t* from, const char16_t* to) {
    text_.append(from, static_cast<std::size_t>(to - from));
  }
  void AppendCrLf() {
    text_.push_back(u'\r');
    text_.push_back(u'\n');
  }
  std::u16string Take() { return std::move(text_); }

 private:
  std::u16string text_;
};

// Folds one line, from `start` (not a space, not a line end) to its CR LF or `end`, into
// `out`; returns where the next line starts. One walk over the line: a piece ends where the
// next character would pass the limit, and the line's spaces at its end are found only
// when the walk reaches them.
const char16_t* AppendLine(FoldedText& out, const char16_t* start, const char16_t* end,
                           std::int64_t limit, const ColumnWidths& widths) {
  for (;;) {
    std::int64_t room = limit;
    const char16_t* at = start;
    // Eight characters at a time while they all fit and hold no CR; then one at a time up
    // to the line end or the first character that does not fit.
    while (end - at >= 8 && !unit_scan::AnyOfEight<u'\r'>(at)) {
      const int block = widths.Of(at[0]) + widths.Of(at[1]) + widths.Of(at[2]) + widths.Of(at[3]) +
                        widths.Of(at[4]) + widths.Of(at[5]) + widths.Of(at[6]) + widths.Of(at[7]);
      if (room < block) break;
      room -= block;
      at += 8;
    }
    while (at < end && !IsCrLf(at, end)) {
      room -= widths.Of(*at);
      if (room < 0) break;
      ++at;
    }
    // Either the line ends at `at`, or the character there does not fit; then, when only
    // spaces follow it up to the line end, the trimmed line fits all the same.
    const char16_t* after_spaces = at;
    while (after_spaces < end && *after_spaces == u' ') ++after_spaces;
    const char16_t* piece_end = at;
    if (after_spaces < end && !IsCrLf(after_spaces, end)) {
      // A limit below the first character's width would give an empty piece forever; that
      // character then stands alone on its line, so the fold always ends.
      if (piece_end == start) ++piece_end;
      // Never break a surrogate pair: both halves of a broken pair would be lost. The pair
      // goes to the next piece, or stands alone when it begins this one.
      if (piece_end < end && IsSurrogatePair(piece_end[-1], piece_end[0])) {
        piece_end = piece_end - 1 > start ? piece_end - 1 : piece_end + 1;
      }
      const char16_t* rest = piece_end;
      while (rest < end && *rest == u' ') ++rest;
      if (rest < end && !IsCrLf(rest, end)) {
        out.Append(start, piece_end);
        out.AppendCrLf();
        start = rest;
        continue;
      }
      after_spaces = rest;  // a lone character took the rest of the line
    }
    while (piece_end > start && piece_end[-1] == u' ') --piece_end;
    out.Append(start, piece_end);
    return after_spaces == end ? end : after_spaces + kCrLf.size();
  }
}

}  // namespace

std::u16string WrapLines(std::u16string_view text, double width) {
  const ColumnWidths& widths = ColumnWidths::Get();
  const std::int64_t limit = WholeColumns(width);
  FoldedText out(text.size(), limit);
  const char16_t* const end = text.data() + text.size();
  for (const char16_t* at = text.data(); at < end;) {
    if (*at == u' ') {
      ++at;
    } else if (IsCrLf(at, end)) {
      at += kCrLf.size();  // a blank line
    } else {
      if (!out.Empty()) out.AppendCrLf();
      at = AppendLine(out, at, end, limit, widths);
    }
  }
  if (!out.EndsWithCrLf()) out.AppendCrLf();
  return out.Take();
}

}  // namespace pagelift
