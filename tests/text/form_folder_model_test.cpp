#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "random_text.h"
#include "support/text.h"
#include "text/column_width.h"
#include "text/form_folder.h"
#include "text/line_breaker.h"

namespace pagelift {
namespace {

struct CodePoint {
  std::size_t at;  // in the line
  std::size_t length;
  char32_t c;
  int width;
};

std::vector<CodePoint> CodePointsOf(std::u16string_view line) {
  std::vector<CodePoint> points;
  for (std::size_t at = 0; at < line.size();) {
    const char16_t unit = line[at];
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < line.size() && line[at + 1] >= 0xDC00 &&
        line[at + 1] <= 0xDFFF) {
      const char32_t c = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (line[at + 1] - 0xDC00);
      points.push_back({at, 2, c, ColumnWidth(unit) + ColumnWidth(line[at + 1])});
      at += 2;
    } else {
      points.push_back({at, 1, unit, ColumnWidth(unit)});
      at += 1;
    }
  }
  return points;
}

std::u16string_view Trimmed(std::u16string_view line) {
  const std::size_t first = line.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(u' ') - first + 1);
}

int WidthOf(std::u16string_view text) {
  int width = 0;
  for (const CodePoint& p : CodePointsOf(text)) width += p.width;
  return width;
}

// The fold of one line read literally: each piece the longest one that ends at a break
// opportunity (or the line's end) and fits, less its spaces at the end, widths summed
// afresh for every try. Nothing when some piece has no such end, so that a run is cut.
std::optional<std::vector<std::u16string>> GreedyPieces(std::u16string_view line,
                                                        std::int64_t limit) {
  const std::vector<CodePoint> points = CodePointsOf(line);
  std::vector<bool> may_break(points.size() + 1, true);  // before each, and at the end
  LineBreaker breaker(true);
  for (std::size_t i = 0; i < points.size(); ++i) {
    may_break[i] =
        breaker.Take(points[i].c, i + 1 < points.size() ? points[i + 1].c : LineBreaker::kNone);
  }
  std::vector<std::u16string> pieces;
  for (std::size_t start = 0; start < points.size();) {
    std::optional<std::size_t> end;
    for (std::size_t j = start + 1; j <= points.size(); ++j) {
      if (!may_break[j]) continue;
      const std::size_t from = points[start].at;
      const std::size_t to = j < points.size() ? points[j].at : line.size();
      const std::u16string_view piece = Trimmed(line.substr(from, to - from));
      if (WidthOf(piece) <= limit) end = j;
    }
    if (!end) return std::nullopt;
    const std::size_t to = *end < points.size() ? points[*end].at : line.size();
    pieces.emplace_back(Trimmed(line.substr(points[start].at, to - points[start].at)));
    start = *end;
    while (start < points.size() && points[start].c == U' ') ++start;
  }
  return pieces;
}

std::vector<std::u16string> LinesOf(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos;
       start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the text ends with CR LF";
  return lines;
}

// Folds each line alone and checks what holds whatever the line: the pieces are the
// trimmed line less spaces between them, and none is wider than W but a lone code point;
// where no run is cut, the pieces are the literal greedy fold's. (form_fold_fuzzer checks
// the kinsoku rules and surrogate pairs of cut runs.)
TEST(FormFolder, FoldsRandomLinesAsTheRulesSay) {
  test::RandomText lines({
      u"あ", u"漢字", u"。", u"、",         u"「",     u"」",     u"ー",           u"ゃ",
      u"（", u"）",   u"!",  u"?",          u" ",      u"  ",     u"word",         u"3.14",
      u"(",  u"-",    u"\t", u"\U0001F600", u"\u0301", u"ｱｲ",     u"$5",           u"\u3000",
      u"ok", u"a",    u"—",  u"\U0001D400", u"\xD83D", u"\u00A0", u"\u300C\u300C",
  });
  const double widths[] = {-1, 0, 1, 1.5, 2, 3, 4, 5, 6, 8, 10, 16, 40};
  int compared = 0;
  for (int i = 0; i < 30000; ++i) {
    const std::u16string line = lines.Next(24);
    const double width = widths[static_cast<std::size_t>(i) % std::size(widths)];
    const std::int64_t limit = WholeColumns(width);
    FormFolder folder(width);
    folder.AddLine(line, false);
    const std::vector<std::u16string> pieces = LinesOf(folder.Finish());
    const std::u16string_view trimmed = Trimmed(line);
    if (trimmed.empty()) {
      ASSERT_EQ(pieces, std::vector<std::u16string>{u""}) << test::Shown(line);
      continue;
    }
    const std::string shown = test::Shown(line) + " W=" + std::to_string(width);
    std::size_t at = 0;
    for (const std::u16string& piece : pieces) {
      ASSERT_FALSE(piece.empty()) << shown;
      ASSERT_NE(piece.front(), u' ') << shown;
      ASSERT_NE(piece.back(), u' ') << shown;
      ASSERT_EQ(trimmed.substr(at, piece.size()), piece) << shown;
      ASSERT_TRUE(WidthOf(piece) <= limit || CodePointsOf(piece).size() == 1) << shown;
      at += piece.size();
      while (at < trimmed.size() && trimmed[at] == u' ') ++at;
    }
    ASSERT_EQ(at, trimmed.size()) << shown;
    if (const auto greedy = GreedyPieces(trimmed, limit)) {
      ++compared;
      ASSERT_EQ(pieces, *greedy) << shown;
    }
  }
  EXPECT_GT(compared, 10000);  // most lines have no run to cut
}

}  // namespace
}  // namespace pagelift
