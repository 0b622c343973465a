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

// Where the line from `at` ends: its CR LF, or `end`. A lone CR stays inside the line.
const char16_t* LineEnd(const char16_t* at, const char16_t* end) {
  for (;;) {
    at = unit_scan::FindFirstOf<u'\r'>(at, end);
    if (at == end || IsCrLf(at, end)) return at;
    ++at;
  }
}

// Folds one line, [start, line_end) with the spaces at both ends already gone, into `out`.
// One walk per piece: it ends where the next character would pass the limit.
void AppendLine(FoldedText& out, const char16_t* start, const char16_t* line_end,
                std::int64_t limit, const ColumnWidths& widths) {
  // No character takes more than two columns, so a rest of at most limit / 2 characters
  // fits without being counted.
  const std::int64_t fits_uncounted = limit / 2;
  while (line_end - start > fits_uncounted) {
    std::int64_t room = limit;
    const char16_t* at = start;
    while (room >= 8 && line_end - at >= 8) {
      const int block = widths.Of(at[0]) + widths.Of(at[1]) + widths.Of(at[2]) + widths.Of(at[3]) +
                        widths.Of(at[4]) + widths.Of(at[5]) + widths.Of(at[6]) + widths.Of(at[7]);
      if (room < block) break;
      room -= block;
      at += 8;
    }
    while (at < line_end) {
      room -= widths.Of(*at);
      if (room < 0) break;
      ++at;
    }
    if (at == line_end) break;  // the rest fits
    const char16_t* piece_end = at;
    // A limit below the first character's width would give an empty piece forever; that
    // character then stands alone on its line, so the fold always ends.
    if (piece_end == start) ++piece_end;
    // Never break a surrogate pair: both halves of a broken pair would be lost. The pair
    // goes to the next piece, or stands alone when it begins this one.
    if (piece_end < line_end && IsSurrogatePair(piece_end[-1], piece_end[0])) {
      piece_end = piece_end - 1 > start ? piece_end - 1 : piece_end + 1;
    }
    // The line's last character is not a space, so a rest of only spaces is no rest: a
    // lone character took the whole line.
    const char16_t* rest = piece_end;
    while (rest < line_end && *rest == u' ') ++rest;
    if (rest == line_end) break;
    out.Append(start, piece_end);
    out.AppendCrLf();
    start = rest;
  }
  out.Append(start, line_end);
}

}  // namespace

std::u16string WrapLines(std::u16string_view text, double width) {
  const ColumnWidths& widths = ColumnWidths::Get();
  const std::int64_t limit = WholeColumns(width);
  FoldedText out(text.size(), limit);
  const char16_t* const end = text.data() + text.size();
  for (const char16_t* at = text.data(); at < end;) {
    const char16_t* const line_end = LineEnd(at, end);
    const char16_t* first = at;
    const char16_t* last = line_end;
    while (first < last && *first == u' ') ++first;
    while (last > first && last[-1] == u' ') --last;
    if (first < last) {  // a blank line leaves no trace
      if (!out.Empty()) out.AppendCrLf();
      AppendLine(out, first, last, limit, widths);
    }
    at = line_end == end ? end : line_end + kCrLf.size();
  }
  if (!out.EndsWithCrLf()) out.AppendCrLf();
  return out.Take();
}

}  // namespace pagelift
