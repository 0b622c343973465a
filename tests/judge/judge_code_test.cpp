#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "judge/judges.h"
#include "support/bytes.h"
#include "support/test_name.h"

namespace pagelift {
namespace {

using test::Hex;
using test::HexArray;

struct ArbitrationCase {
  Score u7, u8, sj, eu;
  std::string_view expected;
};

class Arbitration : public testing::TestWithParam<ArbitrationCase> {};

TEST_P(Arbitration, NamesTheCodeFromTheFourScores) {
  const ArbitrationCase& c = GetParam();
  EXPECT_EQ(ArbitrateScores(c.u7, c.u8, c.sj, c.eu), c.expected)
      << "U7 " << c.u7 << " U8 " << c.u8 << " SJ " << c.sj << " EU " << c.eu;
}

INSTANTIATE_TEST_SUITE_P(
    TiesAndThresholds, Arbitration,
    testing::Values(ArbitrationCase{50, 50, 50, 50, "SJIS"},  // plain 7-bit text
                    ArbitrationCase{80, 50, 50, 50, "UTF7"},
                    ArbitrationCase{51, 51, 51, 51, "UTF7"},  // UTF-7 wins ties above 50
                    ArbitrationCase{60, 60, 40, 40, "UTF7"},
                    ArbitrationCase{0, 80, 80, 10, "SJIS"},  // U8 tied with SJ
                    ArbitrationCase{0, 81, 80, 80, "UTF8"},  // U8 one above all others
                    ArbitrationCase{0, 80, 50, 80, "SJIS"},  // U8 tied with EU above SJ
                    ArbitrationCase{0, 50, 50, 80, "EUC"},
                    ArbitrationCase{0, 50, 80, 80, "SJIS"},  // EU tied with SJ
                    ArbitrationCase{90, 100, 50, 50, "UTF8"},
                    ArbitrationCase{40, 30, 20, 10, "SJIS"},  // UTF-7 highest but not above 50
                    ArbitrationCase{0, 0, 0, 0, "SJIS"}),
    [](const testing::TestParamInfo<ArbitrationCase>& info) {
      const ArbitrationCase& c = info.param;
      return test::NameOf("U7 " + std::to_string(c.u7) + " U8 " + std::to_string(c.u8) + " SJ " +
                          std::to_string(c.sj) + " EU " + std::to_string(c.eu) + " " +
                          std::string(c.expected));
    });

TEST(JudgeCode, NamesPagesByTheirBytes) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* expected;
  };
  const Case cases[] = {
      {Hex("48 65 6C 6C 6F 20 77 6F 72 6C 64"), "SJIS"},  // plain 7-bit text
      {Hex("61 2B 62 2D 63"), "UTF7"},
      {Hex("EF BB BF E3 81 82 E3 81 84"), "UTF8"},
      {Hex("E3 81 82 E3 81 84 E3 81 86"), "UTF8"},
      {Hex("41 42 1B 24 42 30 21 1B 28 42"), "JIS"},
      {Hex("EF BB BF 41 1B 24 42 41"), "JIS"},  // an escape hides the UTF-8 mark
      {Hex("EF BB BF 41 00 42"), "UNICODE"},    // so does a zero byte at a scan position
      {Hex("FF FE 42 30 44 30"), "UNICODE"},
      {Hex("B1 B2 B3 B4 B5"), "EUC"},  // half-width katakana read as EUC-JP pairs
      {Hex("B4 C1 BB FA 41"), "EUC"},
      {Hex("8A BF 8E 9A 41"), "SJIS"},
      {Hex("1B 24"), "SJIS"},  // an escape cut short is no sign
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeCode(ByteArray(c.bytes)), c.expected) << ByteArray(c.bytes);
  }
}

TEST(JudgeCode, LeavesTheArrayAsItWas) {
  const ByteArray page = HexArray("EF BB BF E3 81 82");
  const ByteArray copy = page;
  JudgeCode(page);
  EXPECT_EQ(page, copy);
}

}  // namespace
}  // namespace pagelift
