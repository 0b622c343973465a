#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "random_text.h"
#include "support/text.h"
#include "text/column_width.h"
#include "text/wrap_lines.h"

namespace pagelift {
namespace {

bool IsSurrogatePair(char16_t first, char16_t second) {
  return first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
}

std::u16string Trimmed(std::u16string_view line) {
  const std::size_t first = line.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  return std::u16string(line.substr(first, line.find_last_not_of(u' ') - first + 1));
}

double WidthOf(std::u16string_view line) {
  double width = 0;
  for (char16_t c : line) width += ColumnWidth(c);
  return width;
}

// The fold read literally: lines split first, each line's width summed afresh for every
// piece. A character wider than W stands alone, and a surrogate pair is never split.
std::u16string FoldByTheRules(std::u16string_view text, double width) {
  std::vector<std::u16string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t crlf = text.find(u"\r\n", start);
    if (crlf == std::u16string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, crlf - start));
    start = crlf + 2;
  }
  std::u16string out;
  for (std::u16string_view source : lines) {
    std::u16string line = Trimmed(source);
    if (line.empty()) continue;
    if (!out.empty()) out += u"\r\n";
    while (WidthOf(line) > width) {
      std::size_t k = 0;
      double sum = 0;
      for (std::size_t i = 0; i < line.size(); ++i) {
        sum += ColumnWidth(line[i]);
        if (sum >= width) {
          k = sum == width ? i + 1 : i;
          break;
        }
      }
      if (k == 0) k = 1;
      if (k < line.size() && IsSurrogatePair(line[k - 1], line[k])) k = k > 1 ? k - 1 : k + 1;
      out += line.substr(0, k);
      line = Trimmed(std::u16string_view(line).substr(k));
      if (line.empty()) break;
      out += u"\r\n";
    }
    out += line;
  }
  if (!out.ends_with(u"\r\n")) out += u"\r\n";
  return out;
}

// The text through a LineWrapper, in parts of sizes drawn from `engine`, its folded text
// taken after each.
std::u16string InParts(std::u16string_view text, double width, std::mt19937& engine) {
  LineWrapper wrapper(width, 0);
  std::uniform_int_distribution<std::size_t> size(0, 12);
  std::u16string folded;
  std::size_t at = 0;
  do {
    const std::size_t part = std::min(size(engine), text.size() - at);
    wrapper.Add(text.substr(at, part), at + part == text.size());
    wrapper.TakeText(folded);
    at += part;
  } while (at < text.size());
  return folded + wrapper.Finish();
}

TEST(WrapLines, FoldsRandomTextsAsTheRulesReadLiterally) {
  test::RandomText texts({
      u"a",  u"b",  u" ",      u"   ",    u"\t",         u"\r\n",     u"\r\n\r\n",
      u"\r", u"\n", u"漢",     u"字",     u"ｱ",          u"\u3000",   u"¥",
      u"−",  u"?",  u"\xD83D", u"\xDE00", u"\U0001F600", u"abcdefgh", u"東京は晴れ、sunny",
  });
  const double widths[] = {-1, 0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 7, 10.5, 16, 100};
  for (int i = 0; i < 20000; ++i) {
    const std::u16string text = texts.Next(30);
    const double width = widths[static_cast<std::size_t>(i) % std::size(widths)];
    const std::u16string expected = FoldByTheRules(text, width);
    ASSERT_EQ(test::Shown(WrapLines(text, width)), test::Shown(expected))
        << "text: " << test::Shown(text) << " W=" << width;
    ASSERT_EQ(test::Shown(InParts(text, width, texts.Engine())), test::Shown(expected))
        << "in parts, text: " << test::Shown(text) << " W=" << width;
  }
}

}  // namespace
}  // namespace pagelift
