#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "cli/cli.h"
#include "support/file_bytes.h"
#include "support/platform.h"
#include "support/run_cli.h"

namespace pagelift::cli {
namespace {

using test::Outcome;
using test::RunWith;
using test::Sample;

TEST(DecodeCommand, GivesTheSameTextForEverySampleWhateverItsCode) {
  const std::string expected = test::FileBytes(Sample("sample.utf8.html"));
  ASSERT_FALSE(expected.empty());
  test::LeftOut left_out;
  for (const char* file : test::kSampleFiles) {
    for (const char* mode : {"0", "1"}) {
      if (std::string(file) == "sample.euc.html" && std::string(mode) == "1") continue;
      if (std::string(file) == "sample.jis.html" && std::string(mode) == "1" &&
          !left_out.Unless(test::HasCodePage(50221), "sample.jis.html in mode 1",
                           "no code page 50221 here (Wine lacks it)")) {
        continue;
      }
      const Outcome o = RunWith({"decode", "--code", "auto", "--mode", mode, Sample(file)});
      EXPECT_EQ(o.status, kDone) << file << o.err;
      EXPECT_EQ(o.out, expected) << file << " mode " << mode;
    }
  }
  left_out.SkipIfAny();
}

TEST(DecodeCommand, TakesTheCodeBoxSpellingsAndDefaultsToShiftJis) {
  EXPECT_EQ(RunWith({"decode", "--code", "UTF-8"}, "\xEF\xBB\xBF\xE3\x81\x82").out, "あ");
  EXPECT_EQ(RunWith({"decode", "--code", "UTF8"}, "\xE3\x81\x82").out, "あ");
  EXPECT_EQ(RunWith({"decode", "--code", "自動判定"}, "あいう").out, "あいう");
  EXPECT_EQ(RunWith({"decode", "--code", "SJIS"}, "\x82\xA0").out, "あ");
  EXPECT_EQ(RunWith({"decode", "--code", "whatever"}, "\x82\xA0").out, "あ");
  EXPECT_EQ(RunWith({"decode", "--code", "UNICODE"}, std::string("\xFF\xFE\x42\x30", 4)).out, "あ");
  EXPECT_EQ(RunWith({"decode", "--code", "UNICODE"}, std::string("\x00\xD8", 2)).out,
            "\xEF\xBF\xBD");  // an unpaired surrogate is written as U+FFFD
  const Outcome empty = RunWith({"decode", "--code", "auto"}, "");
  EXPECT_EQ(empty.status, kDone);
  EXPECT_EQ(empty.out, "");
}

TEST(DecodeCommand, ShowsTheEucMessageInModeOne) {
  const Outcome o = RunWith({"decode", "--code", "EUC", "--mode", "1"}, "\xA4\xA2");
  EXPECT_EQ(o.status, kDone);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "pagelift-cli: EUCはサポートされていません\n");
  EXPECT_EQ(RunWith({"decode", "--code", "EUC"}, "\xA4\xA2").out, "あ");
}

TEST(EncodeCommand, WritesTheBytesOfTheChosenCode) {
  EXPECT_EQ(RunWith({"encode", "--code", "SJIS"}, "あ").out, "\x82\xA0");
  EXPECT_EQ(RunWith({"encode", "--code", "JIS"}, "あ").out, "\x1B$B$\"\x1B(B");
  EXPECT_EQ(RunWith({"encode", "--code", "EUC"}, "あ").out, "\xA4\xA2");
  EXPECT_EQ(RunWith({"encode", "--code", "UTF-7"}, "あ").out, "+MEI-");
  EXPECT_EQ(RunWith({"encode", "--code", "UTF-8"}, "あ").out, "\xE3\x81\x82");
  EXPECT_EQ(RunWith({"encode", "--code", "UTF-8", "--bom"}, "あ").out, "\xEF\xBB\xBF\xE3\x81\x82");
  EXPECT_EQ(RunWith({"encode", "--code", "UNICODE", "--bom"}, "A").out,
            std::string("\xFF\xFE\x41\x00", 4));
  EXPECT_EQ(RunWith({"encode", "--code", "SJIS", "--bom"}, "A").out, "A");  // no mark for SJIS
}

TEST(ConvertCommands, RefuseWhatTheyCannotDoWithStatusTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {"decode"},                                             // no code
      {"decode", "--code"},                                   // code without value
      {"decode", "--code", "SJIS", "--mode", "2"},            // no such mode
      {"encode", "--code", "auto"},                           // nothing to judge in a text
      {"encode", "--code", "UTF-8", "--bom", "--mode", "1"},  // empty text with a mark fails
      {"decode", "--code", "SJIS", Sample("missing.html")},
  };
  for (const auto& words : bad) {
    const Outcome o = RunWith(words);
    EXPECT_EQ(o.status, kUsage) << words[0];
    EXPECT_EQ(o.out, "");
    EXPECT_FALSE(o.err.empty());
  }
}

}  // namespace
}  // namespace pagelift::cli
