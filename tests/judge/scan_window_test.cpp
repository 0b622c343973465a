#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "base/errors.h"
#include "judge/judges.h"
#include "support/bytes.h"

namespace pagelift {
namespace {

using Judge = Score (*)(const ByteArray&);
constexpr std::array<Judge, 6> kJudges = {JudgeJIS,  JudgeUNICODE, JudgeUTF8,
                                          JudgeUTF7, JudgeSJIS,    JudgeEUC};

// A page of mixed bytes without zero, ESC, FF FE or EF BB BF, so no judge is sure of it.
std::vector<std::uint8_t> MixedPage(std::size_t size) {
  std::vector<std::uint8_t> page(size);
  std::uint32_t state = 12345;
  for (auto& byte : page) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(0x20 + (state >> 16) % 0xD0);  // 20..EF
    if (byte == 0xEF) byte = 0xEE;
  }
  return page;
}

TEST(ScanWindow, BytesPastTheLookaheadOfTheWindowNeverChangeAScore) {
  std::vector<std::uint8_t> page = MixedPage(5000);
  const std::vector<std::uint8_t> judged(page.begin(), page.begin() + kJudgedBytes);
  std::array<Score, 6> before{};
  for (std::size_t j = 0; j < kJudges.size(); ++j) {
    before[j] = kJudges[j](ByteArray(page));
    EXPECT_EQ(kJudges[j](ByteArray(judged)), before[j]) << "judge " << j;
  }
  for (int value = 0; value < 256; ++value) {
    page[kJudgedBytes] = static_cast<std::uint8_t>(value);
    for (std::size_t j = 0; j < kJudges.size(); ++j) {
      EXPECT_EQ(kJudges[j](ByteArray(page)), before[j]) << "judge " << j << " byte " << value;
    }
  }
}

TEST(ScanWindow, ByteThousandCountsOnlyThroughASequenceStartingInTheWindow) {
  // 988 points before index 999 put the score at 49.4, so 4 more points show as 50.
  std::vector<std::uint8_t> page(988, 0x41);
  page.resize(999, 0x80);
  page.push_back(0x82);                       // lead byte at 999
  page.push_back(0xA0);                       // its partner at 1000, past the window
  EXPECT_EQ(JudgeSJIS(ByteArray(page)), 50);  // (988 + 4) x 100 / 2000 = 49.6
  page[1000] = 0x0A;
  EXPECT_EQ(JudgeSJIS(ByteArray(page)), 49);  // 988 x 100 / 2000 = 49.4
  // Without a sequence reaching it, byte 1000 changes nothing.
  page[999] = 0x41;
  const Score plain = JudgeSJIS(ByteArray(page));
  for (int value = 0; value < 256; ++value) {
    page[1000] = static_cast<std::uint8_t>(value);
    EXPECT_EQ(JudgeSJIS(ByteArray(page)), plain) << value;
  }
}

TEST(ScanWindow, SequencesStartingAt995To999ReadPastTheWindow) {
  // A six-byte UTF-8 form starting at `start` ends past 999. The filler earns nothing,
  // so the form's 12 points alone make the score 1 rather than 0.
  for (std::size_t start = 995; start <= 999; ++start) {
    std::vector<std::uint8_t> page(1010, 0x80);
    page[start] = 0xFC;
    for (std::size_t k = 1; k < 6; ++k) page[start + k] = 0x80;
    EXPECT_EQ(JudgeUTF8(ByteArray(page)), 1) << "start " << start;
    page[start + 5] = 0x41;  // the last byte of the form, at 1000 or beyond
    EXPECT_EQ(JudgeUTF8(ByteArray(page)), 0) << "start " << start;
  }
  // The same form cut short by the array's end does not match.
  std::vector<std::uint8_t> cut(1003, 0x41);
  cut[999] = 0xFC;
  cut[1000] = cut[1001] = cut[1002] = 0x80;
  EXPECT_EQ(JudgeUTF8(ByteArray(cut)), 50);  // 999 / 2000 -> 49.95
}

TEST(ScanWindow, EscapeSequencesCountFromAnyScanPositionButNotBeyond) {
  std::vector<std::uint8_t> page(1002, 0x41);
  page[999] = 0x1B;
  page[1000] = 0x24;
  page[1001] = 0x42;
  EXPECT_EQ(JudgeJIS(ByteArray(page)), kCertain);  // ESC at the last index - 2
  EXPECT_EQ(JudgeCode(ByteArray(page)), "JIS");
  page.push_back(0x41);
  page[999] = 0x41;
  page[1000] = 0x1B;
  page[1001] = 0x24;
  page[1002] = 0x42;
  EXPECT_NE(JudgeJIS(ByteArray(page)), kCertain);  // ESC at 1000 is no scan position
  EXPECT_EQ(JudgeJIS(ByteArray(page)), 50);
}

TEST(ScanWindow, SureSignsOnlyAtScanPositions) {
  // A zero byte consumed by a surrogate unit is not seen; one at a scan position is.
  EXPECT_NE(JudgeUNICODE(test::HexArray("D8 00 00 41 42")), kCertain);
  EXPECT_EQ(JudgeUNICODE(test::HexArray("D8 41 42 00 41")), kCertain);
  // An FF taken as the second byte of a unit hides the FE after it.
  EXPECT_NE(JudgeUNICODE(test::HexArray("41 FF FE 42")), kCertain);
  // The UTF-8 mark is met at any scan position after other sequences.
  EXPECT_EQ(JudgeUTF8(test::HexArray("E3 81 82 EF BB BF")), kCertain);
}

TEST(ScanWindow, EveryJudgeRefusesArraysWithoutBytesOrNotFromZero) {
  for (Judge judge : kJudges) {
    EXPECT_THROW(judge(ByteArray::Empty()), EmptyArrayError);
    EXPECT_THROW(judge(ByteArray()), SubscriptError);
    EXPECT_THROW(judge(ByteArray::Marker()), SubscriptError);
  }
  EXPECT_THROW(JudgeCode(ByteArray::Empty()), EmptyArrayError);
  EXPECT_THROW(JudgeCode(ByteArray()), SubscriptError);
}

TEST(ScanWindow, ScoresStayBetweenZeroAndOneHundredWhenNotSure) {
  for (std::size_t size : {1u, 2u, 3u, 7u, 999u, 1000u, 1001u, 4096u}) {
    const ByteArray page(MixedPage(size));
    for (Judge judge : kJudges) {
      const Score score = judge(page);
      EXPECT_TRUE(score == kCertain || (score >= 0 && score <= 100)) << score;
    }
  }
}

}  // namespace
}  // namespace pagelift
