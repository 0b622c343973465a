#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/text.h"
#include "text/form_folder.h"

namespace pagelift {
namespace {

struct Line {
  std::u16string text;
  bool preformatted = false;
};

struct FoldCase {
  const char* what;
  std::vector<Line> lines;
  double width;
  std::u16string expected;
};

std::u16string Folded(const std::vector<Line>& lines, double width) {
  FormFolder folder(width);
  for (const Line& line : lines) folder.AddLine(line.text, line.preformatted);
  return folder.Finish();
}

void ExpectFolds(const std::vector<FoldCase>& cases) {
  for (const FoldCase& c : cases) {
    EXPECT_EQ(test::Shown(Folded(c.lines, c.width)), test::Shown(c.expected)) << c.what;
  }
}

TEST(FormFolder, BreaksJapaneseWhereUax14AndKinsokuAllow) {
  ExpectFolds({
      {"。 and 」 stay with the character before them; a character goes down with them",
       {{u"これは「テスト」です。"}},
       10,
       u"これは「テ\r\nスト」で\r\nす。\r\n"},
      {"「 goes down with what it opens", {{u"ああああ「い」"}}, 8, u"ああああ\r\n「い」\r\n"},
      {"、 never begins a line", {{u"あいうえ、お"}}, 8, u"あいう\r\nえ、お\r\n"},
      {"ー (CJ) never begins a line, even after a space",
       {{u"a bc ーd"}},
       5,
       u"a\r\nbc ー\r\nd\r\n"},
      {"kanji and kana break anywhere else", {{u"東京は晴れ"}}, 5, u"東京\r\nは晴\r\nれ\r\n"},
  });
}

TEST(FormFolder, KeepsLatinWordsAndNumbersWhole) {
  ExpectFolds({
      {"at spaces, which go",
       {{u"The quick brown fox jumps"}},
       10,
       u"The quick\r\nbrown fox\r\njumps\r\n"},
      {"a word wider than W is cut at W",
       {{u"a supercalifragilistic b"}},
       8,
       u"a\r\nsupercal\r\nifragili\r\nstic b\r\n"},
      {"a cut in a word keeps 、 from the line's start",
       {{u"abcdefgh、ij"}},
       8,
       u"abcdefg\r\nh、ij\r\n"},
      {"a URL breaks after a slash",
       {{u"see https://example.com/a/b"}},
       12,
       u"see https://\r\nexample.com/\r\na/b\r\n"},
      {"3.14159 is one word", {{u"pi is 3.14159 ok"}}, 10, u"pi is\r\n3.14159 ok\r\n"},
      {"( never ends a line", {{u"abc (def)"}}, 5, u"abc\r\n(def)\r\n"},
      {"spaces at both ends go", {{u"   a b   "}}, 10, u"a b\r\n"},
      {"a tab (BA) stays before the break after it", {{u"ab\tcd"}}, 3, u"ab\t\r\ncd\r\n"},
  });
}

TEST(FormFolder, CutsPreformattedLinesAtWAsTheyAre) {
  ExpectFolds({
      {"spaces and tabs kept", {{u"  x = 1;\ty", true}}, 5, u"  x =\r\n 1;\ty\r\n"},
      {"no break opportunity sought", {{u"ab cd", true}}, 4, u"ab c\r\nd\r\n"},
      {"trailing spaces kept", {{u"ab  ", true}}, 10, u"ab  \r\n"},
      {"kanji straddling W", {{u"漢字漢", true}}, 5, u"漢字\r\n漢\r\n"},
      {"a space-only line is no blank", {{u"a"}, {u"   ", true}, {u"b"}}, 10, u"a\r\n   \r\nb\r\n"},
  });
}

TEST(FormFolder, KeepsOneBlankLineBetweenLines) {
  ExpectFolds({
      {"between paragraphs", {{u"a"}, {u""}, {u"b"}}, 10, u"a\r\n\r\nb\r\n"},
      {"none first or last, two as one",
       {{u""}, {u"a"}, {u""}, {u""}, {u"  "}, {u"b"}, {u""}},
       10,
       u"a\r\n\r\nb\r\n"},
      {"preformatted blank lines all stay",
       {{u"a"}, {u"", true}, {u"", true}, {u"b", true}},
       10,
       u"a\r\n\r\n\r\nb\r\n"},
      {"nothing at all", {}, 10, u"\r\n"},
      {"only blank lines", {{u""}, {u"", true}}, 10, u"\r\n"},
  });
}

TEST(FormFolder, EndsForEveryWidth) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectFolds({
      {"W = 0", {{u"ab c"}}, 0, u"a\r\nb\r\nc\r\n"},
      {"W = 1, kana", {{u"あい"}}, 1, u"あ\r\nい\r\n"},
      {"W = 1.5", {{u"あ。"}}, 1.5, u"あ\r\n。\r\n"},
      {"W = 2", {{u"あい。"}}, 2, u"あ\r\nい\r\n。\r\n"},
      {"negative W", {{u"ab"}, {u"cd", true}}, -3, u"a\r\nb\r\nc\r\nd\r\n"},
      {"NaN never folds", {{u"ab cd"}, {u"ef", true}}, nan, u"ab cd\r\nef\r\n"},
      {"huge W", {{u"ab cd"}}, 1e300, u"ab cd\r\n"},
  });
}

TEST(FormFolder, NeverSplitsASurrogatePair) {
  // U+1F600 (ID) and U+1D400 (AL) count one column per unit.
  const std::u16string smile = u"\U0001F600";
  const std::u16string bold_a = u"\U0001D400";
  ExpectFolds({
      {"breaks around an ID pair", {{u"a" + smile + u"b"}}, 2, u"a\r\n" + smile + u"\r\nb\r\n"},
      {"a pair wider than W alone", {{smile + smile}}, 1, smile + u"\r\n" + smile + u"\r\n"},
      {"a cut in a run of pairs",
       {{bold_a + bold_a + bold_a}},
       3,
       bold_a + u"\r\n" + bold_a + u"\r\n" + bold_a + u"\r\n"},
      {"preformatted", {{u"a" + smile, true}}, 2, u"a\r\n" + smile + u"\r\n"},
      // The walk back from the width to a place to cut reaches the line's first pair.
      {"a wide pair that starts the line, before 、",
       {{u"\U00020B9F、\U00020B9F"}},
       3,
       u"\U00020B9F\r\n、\r\n\U00020B9F\r\n"},
  });
}

TEST(FormFolder, TakeTextGivesTheTextSoFar) {
  FormFolder folder(4);
  std::u16string taken;
  folder.AddLine(u"ab cd", false);
  folder.TakeText(taken);
  EXPECT_EQ(test::Shown(taken), test::Shown(u"ab\r\ncd\r\n"));
  folder.AddLine(u"", false);
  folder.AddLine(u"e", false);
  folder.TakeText(taken);
  EXPECT_EQ(test::Shown(taken + folder.Finish()), test::Shown(u"ab\r\ncd\r\n\r\ne\r\n"));
}

}  // namespace
}  // namespace pagelift
