#include "base/scan_builds.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

namespace pagelift {
namespace {

WindowMasks MasksByHand(const std::array<char16_t, 64>& units) {
  WindowMasks m;
  bool odd = false;
  for (int k = 0; k < 64; ++k) {
    const std::uint64_t bit = std::uint64_t{1} << k;
    const char16_t c = units[k];
    if (c == u'<') m.opens |= bit;
    if (c == u'>') m.closes |= bit;
    if (c == u'&') m.amps |= bit;
    if (c == u'\t' || c == u'\n' || c == u'\r' || c == u' ') m.blanks |= bit;
    if (c == u'<' || c == u'>') odd = !odd;
    if (odd) m.angle_parity |= bit;
  }
  return m;
}

void ExpectSame(const WindowMasks& got, const WindowMasks& expected) {
  EXPECT_EQ(got.opens, expected.opens);
  EXPECT_EQ(got.closes, expected.closes);
  EXPECT_EQ(got.amps, expected.amps);
  EXPECT_EQ(got.blanks, expected.blanks);
  EXPECT_EQ(got.angle_parity, expected.angle_parity);
}

// The units looked for, their neighbours (0x0B and 0x0C between LF and CR, ":", "=" and
// "?" around "<" and ">"), and units whose low byte is one of them or that pack to 0x7F or
// 0x80.
TEST(WindowMasks, FindsExactlyTheMarkupAndBlanksWhereverTheyAre) {
  constexpr std::array<char16_t, 25> kPalette = {
      u'<',      u'>',      u'&',      u'\t', u'\n',   u'\r',     u' ',     u'\v',    u'\f',
      u'\0',     u'=',      u'?',      u'%',  u'\x7f', u'\x80',   u'\x13c', u'\x23e', u'\x8c3c',
      u'\xff1c', u'\xff1e', u'\x2620', u'a',  u'漢',   u'\xd83d', u':',
  };
  std::mt19937 engine(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, kPalette.size() - 1);
  for (int round = 0; round < 5000; ++round) {
    std::array<char16_t, 64> units{};
    // Early rounds use only a few palette entries, so that long runs of one kind occur.
    const std::size_t kinds = round < 500 ? 3 : kPalette.size();
    for (char16_t& c : units) c = kPalette[pick(engine) % kinds];
    const WindowMasks expected = MasksByHand(units);
    const std::uint64_t angles = expected.opens | expected.closes;
    for (const ScanIsa isa : RunnableScanIsas()) {
      SCOPED_TRACE(testing::Message() << "scan built for " << static_cast<int>(isa));
      VisitScanBuild(isa, [&](auto build) {
        ExpectSame(build.Masks(units.data()), expected);
        EXPECT_EQ(build.Angles(units.data()), angles);
      });
    }
    if (HasFailure()) break;
  }
}

// The searches of the HTML tokenizer (text, comments, attribute values, CDATA, line ends):
// every build stops where the plain loop stops, at any start and length, over units whose
// low byte or neighbour is one looked for.
TEST(WindowMasks, FindFirstOfStopsWhereThePlainLoopStops) {
  constexpr std::array<char16_t, 20> kPalette = {
      u'<',  u'&',  u'\0', u'-', u'"',     u'\'',     u'>',      u']',      u'\r',     u'\t',
      u'\n', u'\f', u' ',  u'a', u'\x13c', u'\xff26', u'\x2d00', u'\x5d5d', u'\xffff', u'漢'};
  std::mt19937 engine(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, kPalette.size() - 1);
  std::array<char16_t, 96> units{};
  for (int round = 0; round < 3000; ++round) {
    // Mostly ordinary units, so that the first match falls anywhere in a long run.
    for (char16_t& c : units) c = pick(engine) % 8 == 0 ? kPalette[pick(engine)] : u'a';
    const std::size_t from = pick(engine) % 12;
    const std::size_t to = units.size() - pick(engine) % 12;
    const char16_t* at = units.data() + from;
    const char16_t* end = units.data() + to;
    for (const ScanIsa isa : RunnableScanIsas()) {
      VisitScanBuild(isa, [&](auto build) {
        using B = decltype(build);
        EXPECT_EQ((B::template FindFirstOf<u'<', u'&', u'\0'>(at, end)),
                  (ScalarScan::FindFirstOf<u'<', u'&', u'\0'>(at, end)));
        EXPECT_EQ((B::template FindFirstOf<u'-', u'<', u'\0'>(at, end)),
                  (ScalarScan::FindFirstOf<u'-', u'<', u'\0'>(at, end)));
        EXPECT_EQ((B::template FindFirstOf<u'"', u'&', u'\0'>(at, end)),
                  (ScalarScan::FindFirstOf<u'"', u'&', u'\0'>(at, end)));
        EXPECT_EQ((B::template FindFirstOf<u'\t', u'\n', u'\f', u' ', u'&', u'>', u'\0'>(at, end)),
                  (ScalarScan::FindFirstOf<u'\t', u'\n', u'\f', u' ', u'&', u'>', u'\0'>(at, end)));
        EXPECT_EQ((B::template FindFirstOf<u']'>(at, end)),
                  (ScalarScan::FindFirstOf<u']'>(at, end)));
        EXPECT_EQ((B::template FindFirstOf<u'\r'>(at, end)),
                  (ScalarScan::FindFirstOf<u'\r'>(at, end)));
      });
    }
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace pagelift
