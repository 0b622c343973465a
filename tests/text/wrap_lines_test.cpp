#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/text.h"
#include "text/wrap_lines.h"

namespace pagelift {
namespace {

struct FoldCase {
  const char* what;
  std::u16string text;
  double width;
  std::u16string expected;
};

void ExpectFolds(const std::vector<FoldCase>& cases) {
  for (const FoldCase& c : cases) {
    EXPECT_EQ(test::Shown(WrapLines(c.text, c.width)), test::Shown(c.expected)) << c.what;
  }
}

TEST(WrapLines, BreaksLongAsciiLinesAtTheWidth) {
  ExpectFolds({
      {"exactly W letters stay", u"abcdefghij", 10, u"abcdefghij\r\n"},
      {"one more folds", u"abcdefghijk", 10, u"abcdefghij\r\nk\r\n"},
      {"two more", u"abcdefghijkl", 10, u"abcdefghij\r\nkl\r\n"},
      {"many pieces", u"abcdefg", 3, u"abc\r\ndef\r\ng\r\n"},
      {"fraction counts: 10.5", u"abcdefghijk", 10.5, u"abcdefghij\r\nk\r\n"},
      {"W = 1", u"abc", 1, u"a\r\nb\r\nc\r\n"},
      {"huge W", u"abc", 1e300, u"abc\r\n"},
      {"infinite W", u"abc", std::numeric_limits<double>::infinity(), u"abc\r\n"},
  });
}

TEST(WrapLines, TrimsSpacesAtEveryLineAndPieceStart) {
  ExpectFolds({
      {"space at the fold point goes", u"abcd efg", 4, u"abcd\r\nefg\r\n"},
      {"several spaces at the fold point", u"ab   cd", 2, u"ab\r\ncd\r\n"},
      {"a piece keeps its own last space", u"abcd efg", 5, u"abcd \r\nefg\r\n"},
      {"both ends of a line", u"  a b  ", 10, u"a b\r\n"},
      {"tabs are not trimmed and count 1", u"\t\tabc", 4, u"\t\tab\r\nc\r\n"},
      {"ideographic space is not trimmed", u"\u3000a\u3000", 10, u"\u3000a\u3000\r\n"},
  });
}

TEST(WrapLines, DropsBlankLinesAndEndsWithOneCrLf) {
  ExpectFolds({
      {"blank and space-only lines", u"  a  \r\n\r\n   \r\nb\r\n\r\n", 10, u"a\r\nb\r\n"},
      {"empty text", u"", 10, u"\r\n"},
      {"only spaces and line ends", u"  \r\n \r\n\r\n", 10, u"\r\n"},
      {"no line end at the end", u"a\r\nb", 10, u"a\r\nb\r\n"},
  });
}

TEST(WrapLines, SplitsOnlyAtCrLfAndKeepsLoneCrAndLf) {
  ExpectFolds({
      {"lone CR and LF stay inside", u"a\rb\nc", 10, u"a\rb\nc\r\n"},
      {"and count one column each", u"a\rb\nc", 2, u"a\r\r\nb\n\r\nc\r\n"},
      {"CR before CR LF", u"a\r\r\nb", 10, u"a\r\r\nb\r\n"},
      {"lone CR at the very end", u"a\r", 10, u"a\r\r\n"},
      {"LF starting a line", u"a\r\n\nb", 10, u"a\r\n\nb\r\n"},
  });
}

TEST(WrapLines, CountsDoubleByteCharactersTwo) {
  ExpectFolds({
      {"third kanji straddles W = 5", u"漢字語", 5, u"漢字\r\n語\r\n"},
      {"kanji end exactly at W = 4", u"漢字語", 4, u"漢字\r\n語\r\n"},
      {"kana after one letter straddles", u"aあいう", 4, u"aあ\r\nいう\r\n"},
      {"kana after one letter fits", u"aあいう", 5, u"aあい\r\nう\r\n"},
      {"mixed line", u"東京は晴れ、sunny", 9, u"東京は晴\r\nれ、sunny\r\n"},
      {"half-width katakana count 1", u"ｱｲｳｴ", 3, u"ｱｲｳ\r\nｴ\r\n"},
      {"full-width katakana count 2", u"アイウ", 3, u"ア\r\nイ\r\nウ\r\n"},
      {"yen and minus signs count 1", u"¥−¥", 2, u"¥−\r\n¥\r\n"},
      {"ideographic space counts 2", u"a\u3000b", 2, u"a\r\n\u3000\r\nb\r\n"},
  });
}

TEST(WrapLines, PutsACharacterWiderThanWAloneOnItsLine) {
  ExpectFolds({
      {"W = 0.5", u"abc", 0.5, u"a\r\nb\r\nc\r\n"},
      {"W = 0", u"ab", 0, u"a\r\nb\r\n"},
      {"negative W", u"ab", -3, u"a\r\nb\r\n"},
      {"W = 1 before a kanji", u"a漢b", 1, u"a\r\n漢\r\nb\r\n"},
      {"W = 1, kanji only", u"漢字", 1, u"漢\r\n字\r\n"},
      {"W = 1.5, one kanji", u"漢", 1.5, u"漢\r\n"},
      {"spaces after a lone kanji", u"漢  a", 1, u"漢\r\na\r\n"},
  });
}

TEST(WrapLines, NeverBreaksASurrogatePair) {
  // U+1F600 counts one column per unit, like any character the code page cannot hold.
  const std::u16string smile = u"\U0001F600";
  ExpectFolds({
      {"pair fits", u"a" + smile, 3, u"a" + smile + u"\r\n"},
      {"pair would straddle W", u"a" + smile + u"b", 2, u"a\r\n" + smile + u"\r\nb\r\n"},
      {"pair wider than W", smile + u"b", 1, smile + u"\r\nb\r\n"},
      {"lone high surrogate is a character",
       u"a\xD83D"
       u"b",
       2, u"a\xD83D\r\nb\r\n"},
  });
}

}  // namespace
}  // namespace pagelift
