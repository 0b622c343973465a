#include <gtest/gtest.h>

#include <string>

#include "judge/judges.h"
#include "support/bytes.h"
#include "support/test_name.h"

namespace pagelift {
namespace {

using test::HexArray;
using Judge = Score (*)(const ByteArray&);

struct ScoreCase {
  const char* judge_name;
  Judge judge;
  const char* bytes;
  Score expected;
};

void PrintTo(const ScoreCase& c, std::ostream* out) {
  *out << c.judge_name << "(" << c.bytes << ")";
}

class JudgeScores : public testing::TestWithParam<ScoreCase> {};

TEST_P(JudgeScores, GiveTheScoreOfTheirRules) {
  const ScoreCase& c = GetParam();
  EXPECT_EQ(c.judge(HexArray(c.bytes)), c.expected);
}

#define JUDGE(f) #f, f

INSTANTIATE_TEST_SUITE_P(
    Examples, JudgeScores,
    testing::Values(
        // ISO-2022-JP: sure of the six designations only, and only with both bytes present.
        ScoreCase{JUDGE(JudgeJIS), "1B 24 42", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "41 41 41 41 41 41 41 1B 24 42", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "1B 28 42", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "1B 28 4A", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "1B 28 49", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "1B 24 40", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "1B 24 44", kCertain},
        ScoreCase{JUDGE(JudgeJIS), "41 41 41 41 41 41 41 41 1B 24", 45},
        ScoreCase{JUDGE(JudgeJIS), "1B 28 48", 33},  // ESC earns nothing; ( and H one each
        ScoreCase{JUDGE(JudgeJIS), "41 41 82 A0", 25},
        // UTF-16: a mark or a zero byte at a scan position.
        ScoreCase{JUDGE(JudgeUNICODE), "41 00 42 00", kCertain},
        ScoreCase{JUDGE(JudgeUNICODE), "00 41 00 42", kCertain},
        ScoreCase{JUDGE(JudgeUNICODE), "41 42 FF FE 43 44", kCertain},
        ScoreCase{JUDGE(JudgeUNICODE), "41 FF FE 43 44 45", 100},
        ScoreCase{JUDGE(JudgeUNICODE), "D8 00 00 41", 75},
        ScoreCase{JUDGE(JudgeUNICODE), "41 42 D8 00 00",
                  100},  // the zero inside a surrogate unit is never scanned
        ScoreCase{JUDGE(JudgeUNICODE), "41 42 43", 67},
        // Shift_JIS.
        ScoreCase{JUDGE(JudgeSJIS), "8A BF 8E 9A", 100},
        ScoreCase{JUDGE(JudgeSJIS), "B1 B2 B3 B4 B5", 50}, ScoreCase{JUDGE(JudgeSJIS), "41 82", 25},
        ScoreCase{JUDGE(JudgeSJIS), "81 20", 25}, ScoreCase{JUDGE(JudgeSJIS), "80 A0 F0 FF", 0},
        ScoreCase{JUDGE(JudgeSJIS), "E0 7F", 25},  // 7F is no second byte; it counts on its own
        // EUC-JP.
        ScoreCase{JUDGE(JudgeEUC), "8A BF 8E 9A", 0},
        ScoreCase{JUDGE(JudgeEUC), "B4 C1 BB FA", 100},
        ScoreCase{JUDGE(JudgeEUC), "B1 B2 B3 B4 B5", 80}, ScoreCase{JUDGE(JudgeEUC), "8E B1", 100},
        ScoreCase{JUDGE(JudgeEUC), "8F B0 A1", 100}, ScoreCase{JUDGE(JudgeEUC), "8F B0", 0},
        ScoreCase{JUDGE(JudgeEUC), "41 FF", 25},
        // UTF-8.
        ScoreCase{JUDGE(JudgeUTF8), "EF BB BF 41", kCertain},
        ScoreCase{JUDGE(JudgeUTF8), "61 62 63 EF BB BF", kCertain},
        ScoreCase{JUDGE(JudgeUTF8), "E3 81 82", 100},
        ScoreCase{JUDGE(JudgeUTF8), "E3 81 82 E3 81 84 E3 81 86", 100},
        ScoreCase{JUDGE(JudgeUTF8), "E3 81 41", 17}, ScoreCase{JUDGE(JudgeUTF8), "61 62 C3", 33},
        ScoreCase{JUDGE(JudgeUTF8), "F0 9F 98 80", 100}, ScoreCase{JUDGE(JudgeUTF8), "C0 80", 100},
        ScoreCase{JUDGE(JudgeUTF8), "FE 80 80 80 80 80", 100},
        ScoreCase{JUDGE(JudgeUTF8), "F8 80 80 80 80", 100},
        ScoreCase{JUDGE(JudgeUTF8), "80 BF 41 41", 25},  // stray continuation bytes earn nothing
        ScoreCase{JUDGE(JudgeSJIS), "E3 81 82 E3 81 84 E3 81 86", 89},
        // UTF-7: a run is credited only when a "-" closes it.
        ScoreCase{JUDGE(JudgeUTF7), "2B 4D 45 49 2D", 100},
        ScoreCase{JUDGE(JudgeUTF7), "2B 2D", 100},
        ScoreCase{JUDGE(JudgeUTF7), "61 2B 62 2D 63", 80},
        ScoreCase{JUDGE(JudgeUTF7), "78 2B 41 42", 12},  // 12.5 goes to the even 12
        ScoreCase{JUDGE(JudgeUTF7), "61 2D 62", 33},
        ScoreCase{JUDGE(JudgeUTF7), "2B 41 2B 42 2D", 60},  // a second "+" restarts the count
        ScoreCase{JUDGE(JudgeUTF7), "2B 41 80 42 2D",
                  80}),  // a foreign byte neither counts nor closes
    [](const testing::TestParamInfo<ScoreCase>& info) {
      return test::NameOf(std::string(info.param.judge_name) + " " + info.param.bytes);
    });

#undef JUDGE

TEST(JudgeScores, ExactHalvesRoundToEven) {
  // 27 plain bytes, then a run that never closes: 27 x 100 / 200 = 13.5 -> 14.
  std::vector<std::uint8_t> bytes = test::Repeat({0x41}, 27);
  bytes.push_back('+');
  const std::vector<std::uint8_t> open_run = test::Repeat({0x41}, 72);
  bytes.insert(bytes.end(), open_run.begin(), open_run.end());
  EXPECT_EQ(JudgeUTF7(ByteArray(bytes)), 14);
  // 25 plain bytes over 100: 12.5 -> 12.
  bytes[25] = bytes[26] = 0x80;
  EXPECT_EQ(JudgeUTF7(ByteArray(bytes)), 12);
}

TEST(JudgeScores, OneHundredSevenBitBytesScoreFiftyForJisAndZeroForShiftJisPairs) {
  EXPECT_EQ(JudgeJIS(ByteArray(test::Repeat({0x41}, 100))), 50);
  EXPECT_EQ(JudgeJIS(ByteArray(test::Repeat({0x82, 0xA0}, 50))), 0);
}

}  // namespace
}  // namespace pagelift
