#include "text/wrap_lines.h"

#include <cmath>
#include <cstdint>

#include "text/column_width.h"

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

std::u16string_view TrimSpaces(std::u16string_view line) {
  const std::size_t first = line.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(u' ') - first + 1);
}

// Appends `line` (trimmed, not empty) broken into pieces of at most `limit` columns. One
// walk over the line: each piece ends where the next character would pass the limit.
void AppendFolded(std::u16string& out, std::u16string_view line, std::int64_t limit,
                  const ColumnWidths& widths) {
  std::size_t start = 0;
  for (;;) {
    std::int64_t columns = 0;
    std::size_t end = start;
    while (end < line.size() && columns + widths.Of(line[end]) <= limit) {
      columns += widths.Of(line[end]);
      ++end;
    }
    // A limit below the first character's width would give an empty piece forever; that
    // character then stands alone on its line, so the fold always ends.
    if (end == start) ++end;
    // Never break a surrogate pair: both halves of a broken pair would be lost. The pair
    // goes to the next piece, or stands alone when it begins this one.
    if (end < line.size() && IsSurrogatePair(line[end - 1], line[end])) {
      end = end - 1 > start ? end - 1 : end + 1;
    }
    if (end == line.size()) break;
    out.append(line.substr(start, end - start)).append(kCrLf);
    // The line's last character is not a space, so the rest is never empty.
    start = line.find_first_not_of(u' ', end);
  }
  out.append(line.substr(start));
}

}  // namespace

std::u16string WrapLines(std::u16string_view text, double width) {
  const ColumnWidths& widths = ColumnWidths::Get();
  const std::int64_t limit = WholeColumns(width);
  std::u16string out;
  out.reserve(text.size() + text.size() / 16 + kCrLf.size());
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    std::size_t line_end = text.find(kCrLf, line_start);
    if (line_end == std::u16string_view::npos) line_end = text.size();
    const std::u16string_view line = TrimSpaces(text.substr(line_start, line_end - line_start));
    line_start = line_end + kCrLf.size();
    if (line.empty()) continue;
    if (!out.empty()) out.append(kCrLf);
    AppendFolded(out, line, limit, widths);
  }
  if (!out.ends_with(kCrLf)) out.append(kCrLf);
  return out;
}

}  // namespace pagelift
