#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "support/run_cli.h"

namespace pagelift::cli {
namespace {

using test::Outcome;
using test::RunWith;
using test::Sample;

TEST(JudgeCommand, PrintsTheCodeNameOfStandardInput) {
  const Outcome o = RunWith({"judge"}, "a+b-c");
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.out, "UTF7\n");
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(RunWith({"judge", "-"}, "\xB1\xB2\xB3\xB4\xB5").out, "EUC\n");
  // The page's judgement reads past a long head of ASCII.
  EXPECT_EQ(RunWith({"judge", "--page"}, std::string(1100, 'a') + "<p>\xC6\xFC\xCB\xDC</p>").out,
            "EUC\n");
}

TEST(Cli, PrintsItsHelpForEitherSpelling) {
  const Outcome help = RunWith({"--help"});
  EXPECT_EQ(help.status, kDone);
  EXPECT_EQ(help.out.rfind("Usage: pagelift-cli judge", 0), 0u) << help.out;
  EXPECT_EQ(RunWith({"-h"}).out, help.out);
}

TEST(JudgeCommand, PrintsSixScoresInOrderBeforeTheName) {
  const Outcome o = RunWith({"judge", "--scores"}, "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86");
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.out, "JIS 0\nUNICODE 89\nUTF8 100\nUTF7 0\nSJIS 89\nEUC 0\nUTF8\n");

  // "お知らせ" in UTF-8 ties with Shift_JIS: the scores say "SJIS", the page "UTF8".
  const std::string notice = "\xE3\x81\x8A\xE7\x9F\xA5\xE3\x82\x89\xE3\x81\x9B";
  EXPECT_EQ(RunWith({"judge"}, notice).out, "SJIS\n");
  EXPECT_EQ(RunWith({"judge", "--page", "--scores"}, notice).out,
            "JIS 0\nUNICODE 100\nUTF8 100\nUTF7 0\nSJIS 100\nEUC 17\n"
            "mend 3: the whole page is well-formed UTF-8\nUTF8\n");

  // "日本" in EUC-JP among 7-bit text ties with Shift_JIS; the whole page reads as EUC-JP only.
  const std::string euc = "<p>\xC6\xFC\xCB\xDC</p>" + std::string(1000, 'a');
  EXPECT_EQ(RunWith({"judge", "--page", "--scores"}, euc).out,
            "JIS 50\nUNICODE 100\nUTF8 50\nUTF7 50\nSJIS 50\nEUC 50\nmend 4: SJIS and EUC tie in "
            "the judged window, the whole page reads cleanly as EUC only\nEUC\n");

  // "日本語の文章" in Shift_JIS past 5,000 bytes of 7-bit text: the scores are of the window
  // judged, not the first bytes.
  std::string late = std::string(5000, 'a');
  for (int k = 0; k < 3; ++k) late += "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD";
  EXPECT_EQ(RunWith({"judge", "--page", "--scores"}, late).out,
            "JIS 4\nUNICODE 100\nUTF8 32\nUTF7 4\nSJIS 100\nEUC 4\nmend 1: judged from byte 5000, "
            "the first past a 7-bit window with the eighth bit set, zero or ESC\nSJIS\n");
}

TEST(JudgeCommand, NamesEverySampleByItsCode) {
  const std::pair<const char*, const char*> samples[] = {
      {"sample.sjis.html", "SJIS"},     {"sample.jis.html", "JIS"},   {"sample.euc.html", "EUC"},
      {"sample.utf16.html", "UNICODE"}, {"sample.utf7.html", "UTF7"}, {"sample.utf8.html", "UTF8"},
  };
  for (const auto& [file, name] : samples) {
    const Outcome o = RunWith({"judge", Sample(file)});
    EXPECT_EQ(o.status, kDone) << file << ": " << o.err;
    EXPECT_EQ(o.out, std::string(name) + "\n") << file;
  }
}

TEST(JudgeCommand, RefusesWhatItCannotJudgeWithOneLineAndStatusTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {"judge"},                               // empty standard input
      {"judge", Sample("no-such-file.html")},  // missing file
      {"judge", PAGELIFT_SAMPLES},             // a directory
      {"judge", "--frobnicate"},               // unknown option
      {"judge", "a", "b"},                     // two files
      {"jduge"},                               // unknown command
      {},                                      // no command
  };
  for (const auto& words : bad) {
    const Outcome o = RunWith(words);
    EXPECT_EQ(o.status, kUsage);
    EXPECT_EQ(o.out, "");
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;  // one line
    EXPECT_EQ(o.err.rfind("pagelift-cli: ", 0), 0u) << o.err;
  }
}

}  // namespace
}  // namespace pagelift::cli
