#include "text/form_folder.h"

#include <algorithm>
#include <utility>

#include "base/huge_pages.h"
#include "text/line_breaker.h"
#include "text/unicode_tables.h"

namespace pagelift {

namespace {

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The code point at `at` in `text` and its length in units: a surrogate pair is one code
// point, a lone surrogate one of its own.
char32_t CodePointAt(std::u16string_view text, std::size_t at, std::size_t& length) {
  const char16_t first = text[at];
  if (IsHighSurrogate(first) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
    length = 2;
    return 0x10000 + ((char32_t{first} - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00);
  }
  length = 1;
  return first;
}

// Where the code point that ends at `end` begins.
std::size_t CodePointBefore(std::u16string_view text, std::size_t end) {
  return end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2]) ? end - 2
                                                                                     : end - 1;
}

// Classes a cut in a run keeps from the start of a line: those of the kinsoku rules, and a
// combining mark, which belongs with the character before it.
bool MayBeginPiece(char32_t c) {
  switch (LineBreakClassOf(c)) {
    case LineBreakClass::kCL:
    case LineBreakClass::kCP:
    case LineBreakClass::kEX:
    case LineBreakClass::kIS:
    case LineBreakClass::kNS:
    case LineBreakClass::kCJ:
    case LineBreakClass::kCM:
    case LineBreakClass::kZWJ:
    case LineBreakClass::kSP:
      return false;
    default:
      return true;
  }
}

}  // namespace

FormFolder::FormFolder(double width) : widths_(ColumnWidths::Get()), limit_(WholeColumns(width)) {}

// Counting the columns of a line costs far less than finding its break opportunities, and
// a paragraph of a few lines has many a line that fits whole.
bool FormFolder::Fits(std::u16string_view line) const {
  std::int64_t columns = 0;
  for (const char16_t c : line) {
    columns += widths_.Of(c);
    if (columns > limit_) return false;  // a long line is given up on at once
  }
  return true;
}

void FormFolder::AddLine(std::u16string_view line, bool preformatted) {
  if (!preformatted) {
    const std::size_t first = line.find_first_not_of(u' ');
    line = first == std::u16string_view::npos
               ? std::u16string_view()
               : line.substr(first, line.find_last_not_of(u' ') - first + 1);
  }
  if (line.empty()) {
    if (any_line_)
      blank_lines_ = preformatted ? blank_lines_ + 1 : std::max<std::size_t>(blank_lines_, 1);
    return;
  }
  for (; blank_lines_ > 0; --blank_lines_) AppendCrLf();
  any_line_ = true;
  // No unit takes more than two columns, so a line of at most limit / 2 units fits
  // without being counted: most lines.
  if (static_cast<std::int64_t>(line.size()) <= limit_ / 2 || Fits(line)) {
    text_.append(line);
    AppendCrLf();
  } else if (preformatted) {
    CutPreformatted(line);
  } else {
    FoldLine(line);
  }
}

void FormFolder::CutPreformatted(std::u16string_view line) {
  std::size_t start = 0;
  std::int64_t columns = 0;  // of [start, at)
  for (std::size_t at = 0, length = 0; at < line.size(); at += length) {
    CodePointAt(line, at, length);
    const int width = widths_.Of(line[at]) + (length == 2 ? widths_.Of(line[at + 1]) : 0);
    if (columns + width > limit_ && at > start) {
      text_.append(line.substr(start, at - start));
      AppendCrLf();
      start = at;
      columns = 0;
    }
    columns += width;
  }
  text_.append(line.substr(start));
  AppendCrLf();
}

// One walk over the line, each code point taken once by the line breaker. The open piece
// begins at `start`; `opportunity` is the last break opportunity after it. Columns are
// counted from the line's start, so that a piece's width is a difference of two.
void FormFolder::FoldLine(std::u16string_view line) {
  constexpr std::size_t kNoOpportunity = std::u16string_view::npos;
  LineBreaker breaker(true);
  std::size_t start = 0;
  std::int64_t start_column = 0;
  std::size_t opportunity = kNoOpportunity;
  std::int64_t opportunity_column = 0;
  std::int64_t column = 0;  // of `at`
  std::size_t length = 0;
  char32_t c = CodePointAt(line, 0, length);
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t next = at + length;
    std::size_t next_length = 0;
    const char32_t after =
        next < line.size() ? CodePointAt(line, next, next_length) : LineBreaker::kNone;
    const int width = widths_.Of(line[at]) + (length == 2 ? widths_.Of(line[at + 1]) : 0);
    const bool may_break = breaker.Take(c, after);
    if (c == u' ') {
      if (at == start) {  // the spaces after a break go
        start = next;
        start_column = column + width;
      }
    } else {
      if (may_break && at > start) {
        opportunity = at;
        opportunity_column = column;
      }
      while (column + width - start_column > limit_) {
        if (opportunity != kNoOpportunity) {
          AppendPiece(line, start, opportunity);
          start = opportunity;
          start_column = opportunity_column;
          opportunity = kNoOpportunity;
        } else if (at == start) {
          // Wider than the width by itself: alone on its line, so the fold ends.
          AppendPiece(line, start, next);
          start = next;
          start_column = column + width;
          break;
        } else {
          std::int64_t cut_column = column;
          const std::size_t cut = CutInRun(line, start, start_column, at, cut_column, width);
          AppendPiece(line, start, cut);
          start = cut;
          start_column = cut_column;
        }
      }
    }
    column += width;
    at = next;
    c = after;
    length = next_length;
  }
  if (start < line.size()) AppendPiece(line, start, line.size());
}

// Tries the places before `at`, nearest first, while the piece keeps at least half its
// columns and what follows the cut still fits: each place is looked at in the second half
// of one piece only, so the walk stays linear.
std::size_t FormFolder::CutInRun(std::u16string_view line, std::size_t start,
                                 std::int64_t start_column, std::size_t at, std::int64_t& at_column,
                                 int width) const {
  const std::int64_t end_column = at_column + width;
  const std::int64_t least = start_column + (at_column - start_column + 1) / 2;
  std::size_t cut = at;
  std::int64_t cut_column = at_column;
  while (cut > start && cut_column >= least && end_column - cut_column <= limit_) {
    std::size_t length = 0;
    if (MayBeginPiece(CodePointAt(line, cut, length))) {
      std::size_t last = CodePointBefore(line, cut);
      while (last > start && line[last] == u' ') last = CodePointBefore(line, last);
      if (LineBreakClassOf(CodePointAt(line, last, length)) != LineBreakClass::kOP) {
        at_column = cut_column;
        return cut;
      }
    }
    const std::size_t before = CodePointBefore(line, cut);
    cut_column -= widths_.Of(line[before]) + (cut - before == 2 ? widths_.Of(line[before + 1]) : 0);
    cut = before;
  }
  return at;  // nowhere better: cut at the width
}

void FormFolder::AppendPiece(std::u16string_view line, std::size_t start, std::size_t end) {
  while (end > start && line[end - 1] == u' ') --end;
  text_.append(line.substr(start, end - start));
  AppendCrLf();
}

void FormFolder::Reserve(std::size_t units) {
  ReserveLarge(text_, units);
}

void FormFolder::TakeText(std::u16string& out) {
  if (text_.empty()) return;
  if (out.empty()) {
    text_.swap(out);
  } else {
    out += text_;
  }
  text_.clear();
}

std::u16string FormFolder::Finish() {
  if (!any_line_) AppendCrLf();
  any_line_ = false;
  blank_lines_ = 0;
  std::u16string text;
  text.swap(text_);
  return text;
}

}  // namespace pagelift
