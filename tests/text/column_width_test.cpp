#include <gtest/gtest.h>

#include "text/column_width.h"

namespace pagelift {
namespace {

TEST(ColumnWidth, CountsTheBytesWindowsWritesForTheCharacter) {
  const struct {
    char16_t c;
    int width;
    const char* what;
  } cases[] = {
      {u'a', 1, "ASCII"},
      {u'\\', 1, "5C stays a backslash"},
      {u'\t', 1, "tab"},
      {u'\uFF71', 1, "half-width katakana a"},
      {u'\uFF61', 1, "half-width ideographic full stop"},
      {u'\uFF9F', 1, "last half-width katakana"},
      {u'\u3042', 2, "hiragana a"},
      {u'\u30A2', 2, "katakana a"},
      {u'\u6F22', 2, "kanji"},
      {u'\u3000', 2, "ideographic space"},
      {u'\uFF21', 2, "full-width A"},
      {u'\uFF5E', 2, "full-width tilde (81 60)"},
      {u'\u00A7', 2, "section sign (81 98)"},
      {u'\u2460', 2, "circled one, NEC row 13"},
      {u'\u7E8A', 2, "IBM extension kanji"},
      {u'\uE000', 2, "first user-defined code (F0 40)"},
      {u'\u00A5', 1, "yen sign: written as 5C by best fit"},
      {u'\u2212', 1, "minus sign: only an encoder fallback to 81 7C"},
      {u'\u001A', 1, "what invalid codes decode to"},
      {u'\uFFFD', 1, "replacement character"},
      {u'\u00E9', 1, "written as e by best fit"},
      {u'\u00AB', 2, "left guillemet: written as 81 E1 by best fit"},
      {u'\u00B7', 2, "middle dot: written as 81 45 by best fit"},
      {u'\u00A2', 2, "cent sign: written as 81 91 by best fit"},
      {u'\u301C', 1, "wave dash: no best fit, written as ?"},
      {u'\u2016', 1, "double vertical line: no best fit, written as ?"},
      {char16_t{0xD83D}, 1, "high surrogate"},
      {char16_t{0xDE00}, 1, "low surrogate"},
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnWidth(c.c), c.width) << c.what;
}

}  // namespace
}  // namespace pagelift
