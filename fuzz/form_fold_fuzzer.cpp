#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "text/column_width.h"
#include "text/form_folder.h"
#include "text/unicode_tables.h"
#include "text_input.h"

using namespace pagelift;

namespace {

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

char32_t FirstCodePoint(const std::u16string& s) {
  if (s.size() >= 2 && IsHigh(s[0]) && IsLow(s[1])) {
    return 0x10000 + ((char32_t{s[0]} - 0xD800) << 10) + (s[1] - 0xDC00);
  }
  return s[0];
}

char32_t LastCodePoint(const std::u16string& s) {
  const std::size_t n = s.size();
  if (n >= 2 && IsHigh(s[n - 2]) && IsLow(s[n - 1])) {
    return 0x10000 + ((char32_t{s[n - 2]} - 0xD800) << 10) + (s[n - 1] - 0xDC00);
  }
  return s[n - 1];
}

long Width(char32_t c) {
  return c > 0xFFFF ? 2 : ColumnWidth(static_cast<char16_t>(c));
}

bool MayNotBeginLine(char32_t c) {
  const LineBreakClass k = LineBreakClassOf(c);
  return k == LineBreakClass::kCL || k == LineBreakClass::kCP || k == LineBreakClass::kEX ||
         k == LineBreakClass::kIS || k == LineBreakClass::kNS || k == LineBreakClass::kCJ;
}

// Checks the pieces one line was folded into against the line.
void CheckPieces(std::u16string_view line, bool preformatted, std::int64_t limit,
                 const std::vector<std::u16string>& pieces) {
  if (!preformatted) {
    const std::size_t first = line.find_first_not_of(u' ');
    line = first == std::u16string_view::npos
               ? std::u16string_view()
               : line.substr(first, line.find_last_not_of(u' ') - first + 1);
  }
  if (line.empty()) {
    FUZZ_CHECK(pieces.size() == 1 && pieces[0].empty());
    return;
  }
  std::size_t at = 0;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const std::u16string& piece = pieces[k];
    FUZZ_CHECK(!piece.empty());
    FUZZ_CHECK(line.substr(at, piece.size()) == piece);  // the line's own text, in order
    FUZZ_CHECK(at == 0 || !(IsHigh(line[at - 1]) && IsLow(line[at])));  // no pair split
    FUZZ_CHECK(fuzz::Columns(piece) <= limit || fuzz::IsOneCharacter(piece));
    at += piece.size();
    long spaces = 0;
    if (!preformatted) {
      FUZZ_CHECK(piece.front() != u' ' && piece.back() != u' ');
      for (; at < line.size() && line[at] == u' '; ++at) ++spaces;
      // A kinsoku rule is broken only where the run did not fit.
      if (k + 1 < pieces.size()) {
        const char32_t next = FirstCodePoint(pieces[k + 1]);
        if (MayNotBeginLine(next) ||
            LineBreakClassOf(LastCodePoint(piece)) == LineBreakClass::kOP) {
          FUZZ_CHECK(fuzz::Columns(piece) + spaces + Width(next) > limit);
        }
      }
    }
  }
  FUZZ_CHECK(at == line.size());
}

}  // namespace

// The first two bytes give the width, -1 to 200; the third which lines are preformatted
// (its bits, over and over); the rest is the text, its lines split at LF.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const double width = (data[0] | data[1] << 8) % 2010 / 10.0 - 1;
  const std::int64_t limit = WholeColumns(width);
  const std::uint8_t preformatted_bits = data[2];
  const std::u16string text = fuzz::Utf16Of(data + 3, size - 3);

  // Each line folded alone, and all of them in one folder, taking its text after each
  // line that is not preformatted.
  FormFolder all(width);
  std::u16string taken;
  std::u16string expected;
  std::size_t blank_lines = 0;
  std::size_t line_number = 0;
  for (std::size_t start = 0; start <= text.size(); ++line_number) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
    const bool preformatted = (preformatted_bits >> (line_number % 8)) & 1;
    start = end + 1;

    FormFolder alone(width);
    alone.AddLine(line, preformatted);
    const std::u16string folded = alone.Finish();
    FUZZ_CHECK(folded.ends_with(u"\r\n"));
    CheckPieces(line, preformatted, limit, fuzz::FoldedLines(folded));

    all.AddLine(line, preformatted);
    if (!preformatted) all.TakeText(taken);
    if (folded == u"\r\n") {  // blank: kept between lines that are not, one if not preformatted
      if (!expected.empty())
        blank_lines = preformatted ? blank_lines + 1 : std::max<std::size_t>(blank_lines, 1);
    } else {
      for (; blank_lines > 0; --blank_lines) expected += u"\r\n";
      expected += folded;
    }
  }
  if (expected.empty()) expected = u"\r\n";
  FUZZ_CHECK(taken + all.Finish() == expected);
  return 0;
}
