#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/input.h"
#include "cli/usage_error.h"
#include "support/file_bytes.h"
#include "support/files.h"
#include "support/platform.h"
#include "support/run_cli.h"

namespace pagelift::cli {
namespace {

using test::Outcome;
using test::RunWith;
using test::Sample;

void ExpectRefused(const Outcome& o) {
  EXPECT_EQ(o.status, kUsage);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err.rfind("pagelift-cli: ", 0), 0u) << o.err;
}

TEST(FoldCommand, FoldsUtf8TextAtTheWidthAsTheFieldReadsIt) {
  const struct {
    const char* width;
    std::string input;
    std::string expected;
  } cases[] = {
      {"10", "abcdefghijk", "abcdefghij\r\nk\r\n"},
      {"10.5", "abcdefghijk", "abcdefghij\r\nk\r\n"},
      {"3abc", "abcdefg", "abc\r\ndef\r\ng\r\n"},
      {"abc", "ab", "a\r\nb\r\n"},  // no number: W = 0, one character a line
      {"4", "今日は晴れ", "今日\r\nは晴\r\nれ\r\n"},
      {"100", "  a  \r\n\r\nb\nc\r", "a\r\nb\nc\r\r\n"},  // lone LF and CR kept
      {"100", "", "\r\n"},
  };
  for (const auto& c : cases) {
    const Outcome o = RunWith({"fold", "--width", c.width}, c.input);
    EXPECT_EQ(o.status, kDone) << o.err;
    EXPECT_EQ(o.out, c.expected) << "width " << c.width << ", input " << c.input;
  }
}

TEST(FoldCommand, ReadsInvalidUtf8AsReplacementCharactersOfOneColumn) {
  const Outcome o = RunWith({"fold", "--width", "2"}, "\xFF\xFF\xFF");
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.out, "\xEF\xBF\xBD\xEF\xBF\xBD\r\n\xEF\xBF\xBD\r\n");
}

TEST(FoldCommand, ReadsAFile) {
  // The sample has LF line ends only, so it is one line, kept as it is.
  const std::string page = test::FileBytes(Sample("sample.utf8.html"));
  ASSERT_FALSE(page.empty());
  const Outcome o = RunWith({"fold", "--width", "1000", Sample("sample.utf8.html")});
  EXPECT_EQ(o.status, kDone) << o.err;
  EXPECT_EQ(o.out, page + "\r\n");
  // A file whose name looks like an option, after "--".
  std::ofstream("-x.html", std::ios::binary) << "x";
  EXPECT_EQ(RunWith({"fold", "--width", "1000", "--", "-x.html"}).out, "x\r\n");
  std::remove("-x.html");
}

TEST(FoldCommand, RefusesACommandLineWithoutOneWidth) {
  ExpectRefused(RunWith({"fold"}, "a"));
  ExpectRefused(RunWith({"fold", "--width"}, "a"));
  ExpectRefused(RunWith({"fold", "--width", "5", "a", "b"}, "a"));
  ExpectRefused(RunWith({"fold", "--width", "5", "--code", "UTF-8"}, "a"));
  ExpectRefused(RunWith({"fold", "--width", "5", "--", "--width", "3"}, "a"));  // two files
}

TEST(TextCommand, ReducesAndFoldsAUtf8Page) {
  const Outcome o = RunWith({"text", "--code", "UTF-8", Sample("sample.utf8.html")});
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.err, "");
  // The second line is exactly 100 columns before the fold; the pre block keeps its
  // inner spaces.
  EXPECT_EQ(o.out,
            "ぱーじりふとの見本\r\n"
            "今日の天気東京は朝から晴れ、午後は少し雲が広がるでしょう。"
            "最高気温は十八度の見込みです。大阪は曇りの\r\n"
            "ち雨。傘を持ってお出かけください。\r\n"
            "地域   天気   気温\r\n"
            "札幌   雪     二度\r\n");
}

TEST(TextCommand, FoldsAtTheGivenWidthOrAtOneHundred) {
  EXPECT_EQ(RunWith({"text", "--code", "UTF8"}, std::string(101, 'a')).out,
            std::string(100, 'a') + "\r\na\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "UTF8", "--width", "3"}, "<p>abcd</p>").out, "abc\r\nd\r\n");
}

TEST(TextCommand, GivesTheFormAskedForAndTheTagsRemovedByDefault) {
  const std::string page = "<title>T</title><p>two words</p>";
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8"}, page).out, "T\r\ntwowords\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "as-is"}, page).out, "T\r\ntwowords\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "readable"}, page).out,
            "T\r\n\r\ntwo words\r\n");
  const std::string article =
      "<title>T</title><ul><li><a href=/>Home</a><li><a href=/news>News</a></ul>"
      "<p>The council met on Monday and agreed, after a long debate, to rebuild the bridge.</p>"
      "<p>Work starts in March, and the cost comes from the city and the state.</p>";
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "main"}, article).out,
            "T\r\n\r\nThe council met on Monday and agreed, after a long debate, to rebuild the "
            "bridge.\r\n\r\nWork starts in March, and the cost comes from the city and the "
            "state.\r\n");
  // Markdown, its links absolute against --url; never folded, as --width 0 leaves the
  // readable forms.
  const std::string linked = "<title>T</title><p>" + std::string(60, 'a') + " " +
                             std::string(60, 'b') + " <a href=x>x</a></p>";
  const std::string line = std::string(60, 'a') + " " + std::string(60, 'b');
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "readable-markdown", "--url",
                     "https://a.jp/d/"},
                    linked)
                .out,
            "# T\r\n<https://a.jp/d/>\r\n\r\n" + line + " [x](https://a.jp/d/x)\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "readable", "--width", "0"}, linked).out,
            "T\r\n\r\n" + line + " x\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "main-markdown"}, article).out,
            "# T\r\n\r\nThe council met on Monday and agreed, after a long debate, to rebuild the "
            "bridge.\r\n\r\nWork starts in March, and the cost comes from the city and the "
            "state.\r\n");
  // The Clipboard's HTML of a form, which the as-is form has none of.
  EXPECT_EQ(RunWith({"text", "--code", "UTF-8", "--form", "readable", "--html"}, page).out,
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n<h1>T</h1>\n"
            "<p>two words</p>\n</body></html>\n");
  ExpectRefused(RunWith({"text", "--html"}, page));
  ExpectRefused(RunWith({"text", "--form", "plain"}, page));
}

TEST(TextCommand, CutsEveryUtf8MarkLikeTheFetchCommand) {
  const Outcome o = RunWith({"text", "--code", "UTF-8"}, "\xEF\xBB\xBF<p>a\xEF\xBB\xBF</p>b");
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.out, "ab\r\n");
}

TEST(TextCommand, GivesTheSameTextForEverySampleWhateverItsCode) {
  const std::string expected = RunWith({"text", "--code", "UTF-8", Sample("sample.utf8.html")}).out;
  ASSERT_FALSE(expected.empty());
  const std::string readable =
      RunWith({"text", "--code", "UTF-8", "--form", "readable", Sample("sample.utf8.html")}).out;
  ASSERT_NE(readable, expected);
  for (const char* file : test::kSampleFiles) {
    const Outcome o = RunWith({"text", Sample(file)});
    EXPECT_EQ(o.status, kDone) << file << o.err;
    EXPECT_EQ(o.out, expected) << file;
    // The same page fetched as a local file, with nothing to say on standard error.
    const Outcome fetched = RunWith({"fetch", "file://" + Sample(file)});
    EXPECT_EQ(fetched.status, kDone) << file;
    EXPECT_EQ(fetched.out, expected) << file;
    EXPECT_EQ(fetched.err, "") << file;
    EXPECT_EQ(RunWith({"fetch", "--form", "readable", "file://" + Sample(file)}).out, readable)
        << file;
  }
}

TEST(TextCommand, TreatsEmptyInputAsAFailedDownload) {
  const Outcome o = RunWith({"text"}, "");
  EXPECT_EQ(o.status, kFailureText);
  EXPECT_EQ(o.out, "ネット取得に失敗しました。");
}

TEST(TextCommand, RefusesAFileThatShrinksWhileItIsRead) {
  if (test::kWindows) GTEST_SKIP() << "Windows reads the file whole before it makes the text";
  const test::TempFolder folder;
  const std::filesystem::path page = folder / "page.html";
  std::string bytes;
  while (bytes.size() < 200000) bytes += "<p>ページ</p>";
  test::WriteBytes(page, bytes);
  std::istringstream none;
  const Input input(page.string(), none);
  std::filesystem::resize_file(page, 100);  // mapped, then cut short before it is read
  std::ostringstream out;
  std::ostringstream err;
  try {
    PrintPageText(input, "page.html", FetchSettings{u"", std::nullopt, 100}, out, err);
    ADD_FAILURE() << "no error";
  } catch (const UsageError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read page.html: it shrank while it was read");
  }
  EXPECT_EQ(out.str(), "");  // nothing of the zeros that stand for what was cut off
}

TEST(TextCommand, LetsAFixedCodeOverrideTheJudgement) {
  // あいう in UTF-8, read as Shift_JIS because the code box says so; the lead byte left at
  // the end is U+FFFD to ICU, U+30FB to Windows.
  EXPECT_EQ(RunWith({"text", "--code", "SJIS"}, "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86").out,
            test::kWindows ? "縺ゅ＞縺・\r\n" : "縺ゅ＞縺\xEF\xBF\xBD\r\n");
  EXPECT_EQ(RunWith({"text", "--code", "auto"}, "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86").out,
            "あいう\r\n");
}

}  // namespace
}  // namespace pagelift::cli
