#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "text/unicode_tables.h"

namespace pagelift {

namespace line_breaking {

// The classes after LB1; OP and CP of East_Asian_Width F, W or H apart (LB30).
// clang-format off
enum Class : std::uint8_t {
  kSot, kBK, kCR, kLF, kNL, kSP, kZW, kWJ, kGL, kCM, kZWJ, kAL, kB2, kBA, kBB, kCB,
  kCL, kCP, kCPWide, kEB, kEM, kEX, kH2, kH3, kHL, kHY, kID, kIN, kIS, kJL, kJT, kJV,
  kNS, kNU, kOP, kOPWide, kPO, kPR, kQU, kRI, kSY, kCount
};
// clang-format on

constexpr bool IsAny(Class c, std::initializer_list<Class> set) {
  for (Class s : set) {
    if (c == s) return true;
  }
  return false;
}

constexpr std::uint64_t Bit(Class c) {
  return std::uint64_t{1} << c;
}
constexpr bool In(Class c, std::uint64_t set) {
  return (set >> c) & 1;
}
inline constexpr std::uint64_t kHardBreaks = Bit(kBK) | Bit(kCR) | Bit(kLF) | Bit(kNL);
inline constexpr std::uint64_t kCombining = Bit(kCM) | Bit(kZWJ);
// What LB9 does not join a combining mark to (nothing at all, at the line's start).
inline constexpr std::uint64_t kTakesNoMark = kHardBreaks | Bit(kSot) | Bit(kZW);
// After NU (NU | SY | IS)*, LB25 joins these.
inline constexpr std::uint64_t kNumberGoesOn =
    Bit(kNU) | Bit(kSY) | Bit(kIS) | Bit(kCL) | Bit(kCP) | Bit(kCPWide);
// The kinsoku rule of line starts: CJ is NS by now.
inline constexpr std::uint64_t kMayNotBeginLine =
    Bit(kCL) | Bit(kCP) | Bit(kCPWide) | Bit(kEX) | Bit(kIS) | Bit(kNS);

// LB1: a class as the table gives it, with its East_Asian_Width bits, resolved.
constexpr Class Resolve(std::uint8_t properties) {
  const auto raw = static_cast<LineBreakClass>(properties & unicode_data::kClassMask);
  const bool east_asian = (properties & (unicode_data::kWide | unicode_data::kHalfwidth)) != 0;
  switch (raw) {
    case LineBreakClass::kBK:
      return kBK;
    case LineBreakClass::kCR:
      return kCR;
    case LineBreakClass::kLF:
      return kLF;
    case LineBreakClass::kNL:
      return kNL;
    case LineBreakClass::kSP:
      return kSP;
    case LineBreakClass::kZW:
      return kZW;
    case LineBreakClass::kWJ:
      return kWJ;
    case LineBreakClass::kGL:
      return kGL;
    case LineBreakClass::kCM:
      return kCM;
    case LineBreakClass::kZWJ:
      return kZWJ;
    case LineBreakClass::kAI:
      return kID;
    case LineBreakClass::kB2:
      return kB2;
    case LineBreakClass::kBA:
      return kBA;
    case LineBreakClass::kBB:
      return kBB;
    case LineBreakClass::kCB:
      return kCB;
    case LineBreakClass::kCJ:
      return kNS;
    case LineBreakClass::kCL:
      return kCL;
    case LineBreakClass::kCP:
      return east_asian ? kCPWide : kCP;
    case LineBreakClass::kEB:
      return kEB;
    case LineBreakClass::kEM:
      return kEM;
    case LineBreakClass::kEX:
      return kEX;
    case LineBreakClass::kH2:
      return kH2;
    case LineBreakClass::kH3:
      return kH3;
    case LineBreakClass::kHL:
      return kHL;
    case LineBreakClass::kHY:
      return kHY;
    case LineBreakClass::kID:
      return kID;
    case LineBreakClass::kIN:
      return kIN;
    case LineBreakClass::kIS:
      return kIS;
    case LineBreakClass::kJL:
      return kJL;
    case LineBreakClass::kJT:
      return kJT;
    case LineBreakClass::kJV:
      return kJV;
    case LineBreakClass::kNS:
      return kNS;
    case LineBreakClass::kNU:
      return kNU;
    case LineBreakClass::kOP:
      return east_asian ? kOPWide : kOP;
    case LineBreakClass::kPO:
      return kPO;
    case LineBreakClass::kPR:
      return kPR;
    case LineBreakClass::kQU:
      return kQU;
    case LineBreakClass::kRI:
      return kRI;
    case LineBreakClass::kSY:
      return kSY;
    default:
      return kAL;  // AL, SA, SG, XX
  }
}

// LB11 to LB31 for `before` (the last code point that is not a space, after LB9) and
// `c`, with spaces between them or not; the rules that need more than the two classes
// are in Take.
constexpr bool PairAllows(Class before, Class c, bool spaces) {
  const Class b = before;
  if (c == kWJ || (b == kWJ && !spaces)) return false;             // LB11
  if (b == kGL && !spaces) return false;                           // LB12
  if (c == kGL && !spaces && b != kBA && b != kHY) return false;   // LB12a
  if (IsAny(c, {kCL, kCP, kCPWide, kEX, kIS, kSY})) return false;  // LB13
  if (b == kOP || b == kOPWide) return false;                      // LB14
  if (b == kQU && (c == kOP || c == kOPWide)) return false;        // LB15
  if (IsAny(b, {kCL, kCP, kCPWide}) && c == kNS) return false;     // LB16
  if (b == kB2 && c == kB2) return false;                          // LB17
  if (spaces) return true;                                         // LB18
  if (c == kQU || b == kQU) return false;                          // LB19
  if (c == kCB || b == kCB) return true;                           // LB20
  if (IsAny(c, {kBA, kHY, kNS}) || b == kBB) return false;         // LB21
  if (b == kSY && c == kHL) return false;                          // LB21b
  if (c == kIN) return false;                                      // LB22
  if (IsAny(b, {kAL, kHL}) && c == kNU) return false;              // LB23
  if (b == kNU && IsAny(c, {kAL, kHL})) return false;
  if (b == kPR && IsAny(c, {kID, kEB, kEM})) return false;  // LB23a
  if (IsAny(b, {kID, kEB, kEM}) && c == kPO) return false;
  if (IsAny(b, {kPR, kPO}) && IsAny(c, {kAL, kHL})) return false;  // LB24
  if (IsAny(b, {kAL, kHL}) && IsAny(c, {kPR, kPO})) return false;
  if (IsAny(b, {kPR, kPO, kHY}) && c == kNU) return false;       // LB25, in part
  if (b == kJL && IsAny(c, {kJL, kJV, kH2, kH3})) return false;  // LB26
  if (IsAny(b, {kJV, kH2}) && IsAny(c, {kJV, kJT})) return false;
  if (IsAny(b, {kJT, kH3}) && c == kJT) return false;
  if (IsAny(b, {kJL, kJV, kJT, kH2, kH3}) && c == kPO) return false;  // LB27
  if (b == kPR && IsAny(c, {kJL, kJV, kJT, kH2, kH3})) return false;
  if (IsAny(b, {kAL, kHL}) && IsAny(c, {kAL, kHL})) return false;  // LB28
  if (b == kIS && IsAny(c, {kAL, kHL})) return false;              // LB29
  if (IsAny(b, {kAL, kHL, kNU}) && c == kOP) return false;         // LB30
  if (b == kCP && IsAny(c, {kAL, kHL, kNU})) return false;
  if (b == kEB && c == kEM) return false;  // LB30b
  return true;                             // LB31
}

// For each class before and class after: bit 0, whether PairAllows a break with no
// space between them, bit 1 with spaces. Where nothing stands before the spaces (the
// line's start, a mandatory break, ZW), the pair is judged as after an ID.
inline constexpr auto kPairs = [] {
  std::array<std::array<std::uint8_t, kCount>, kCount> pairs{};
  for (int b = 0; b < kCount; ++b) {
    for (int c = 0; c < kCount; ++c) {
      const auto before = static_cast<Class>(b);
      const auto after = static_cast<Class>(c);
      const bool has_own_row = !IsAny(before, {kSot, kBK, kCR, kLF, kNL, kSP, kZW, kCM, kZWJ});
      const bool tight = has_own_row && PairAllows(before, after, false);
      const bool spaced = PairAllows(has_own_row ? before : kID, after, true);
      pairs[b][c] = static_cast<std::uint8_t>(tight | spaced << 1);
    }
  }
  return pairs;
}();

inline constexpr auto kResolved = [] {
  std::array<Class, 256> resolved{};
  for (int p = 0; p < 256; ++p) resolved[p] = Resolve(static_cast<std::uint8_t>(p));
  return resolved;
}();

}  // namespace line_breaking

// The break opportunities of UAX #14 (Unicode Line Breaking Algorithm, rules LB2 to LB31)
// between the code points of one line, found one code point at a time.
//
// Classes are resolved as LB1 allows for East Asian text: AI as ID, CJ as NS (so small
// kana never begin a line), SA, SG and XX as AL. LB25 is the regular-expression form of
// the numbers (UAX #14's example 7, which LineBreakTest.txt checks), its "(PR | PO) ×
// (OP | HY) NU" seen one code point ahead. Left out: the part of LB30b about unassigned
// Extended_Pictographic code points before an emoji modifier, which needs another
// property. A mandatory break (LB4, LB5, after BK, CR, LF or NL) is given as an
// opportunity like any other: the caller's lines end without them.
//
// With `kinsoku`, the line-start and line-end rules of Japanese text hold on top, wherever
// UAX #14 would allow a break: none before CL, CP, EX, IS, NS or CJ (even after spaces,
// a mandatory break or ZW), none after OP.
class LineBreaker {
 public:
  // No code point at all: what follows the line's last one.
  static constexpr char32_t kNone = 0xFFFFFFFF;

  explicit LineBreaker(bool kinsoku) : kinsoku_(kinsoku) {}

  // Takes the line's next code point `c`, followed by `after` (kNone at the line's end).
  // Returns whether the line may break before `c`; never before the first.
  bool Take(char32_t c, char32_t after);

  using Class = line_breaking::Class;
  static Class ClassOf(char32_t c) {
    return line_breaking::kResolved[unicode_data::PropertiesOf(c)];
  }

 private:
  bool kinsoku_;
  Class before_ =
      line_breaking::kSot;   // the last code point that is not a space, after LB9 and LB10
  bool spaces_ = false;      // spaces came after it
  bool zwj_ = false;         // the last code point was ZWJ (LB8a)
  bool hl_before_ = false;   // an HL came right before `before_` (LB21a)
  bool odd_ri_ = false;      // `before_` ends an odd run of RI (LB30a)
  std::uint8_t number_ = 0;  // LB25: 1 in NU (NU | SY | IS)*, 2 after it and CL or CP
  char32_t after_ = kNone;   // the last `after`, and its class: the next `c`, mostly
  Class after_class_ = line_breaking::kAL;
};

inline bool LineBreaker::Take(char32_t c, char32_t after) {
  using namespace line_breaking;
  const Class own = c == after_ ? after_class_ : ClassOf(c);
  after_ = after;
  if (after != kNone) after_class_ = ClassOf(after);
  Class a = own;
  const Class b = before_;
  const bool tight = !spaces_;
  const bool hard_break_before = tight && In(b, kHardBreaks);
  if (a == kSP) {
    spaces_ = true;
    zwj_ = false;
    return hard_break_before && !kinsoku_;  // LB7, but LB4 and LB5 come first
  }
  if (In(a, kCombining)) {
    // LB9: a combining mark after a code point that can take one is part of it.
    if (tight && !In(b, kTakesNoMark)) {
      zwj_ = a == kZWJ;
      return false;
    }
    a = kAL;  // LB10
  }
  bool allowed;
  if (hard_break_before) {
    allowed = !(b == kCR && a == kLF);  // LB5, LB4
  } else if (In(own, kHardBreaks | Bit(kZW))) {
    allowed = false;  // LB6, LB7
  } else if (b == kZW) {
    allowed = true;  // LB8
  } else if (zwj_ && tight) {
    allowed = false;  // LB8a
  } else if (tight) {
    allowed = b != kSot && (kPairs[b][a] & 1);  // LB2, LB11 to LB31
    if (allowed) {
      if (hl_before_ && (b == kHY || b == kBA)) allowed = false;  // LB21a
      // LB25, the rest: (PR | PO) × (OP | HY) NU, NU (NU | SY | IS)* × (NU | SY | IS |
      // CL | CP), NU (NU | SY | IS)* (CL | CP)? × (PO | PR).
      if (In(b, Bit(kPR) | Bit(kPO)) && In(a, Bit(kOP) | Bit(kOPWide) | Bit(kHY)) &&
          after != kNone && after_class_ == kNU) {
        allowed = false;
      }
      if (number_ == 1 && In(a, kNumberGoesOn)) allowed = false;
      if (number_ != 0 && In(a, Bit(kPO) | Bit(kPR))) allowed = false;
      if (b == kRI && a == kRI && odd_ri_) allowed = false;  // LB30a
    }
  } else {
    allowed = (kPairs[b][a] >> 1) & 1;  // LB11 to LB31, with spaces between
  }
  if (kinsoku_ && (In(a, kMayNotBeginLine) || b == kOP || b == kOPWide)) allowed = false;
  hl_before_ = tight && b == kHL;
  odd_ri_ = a == kRI && !(tight && b == kRI && odd_ri_);
  if (a == kNU) {
    number_ = 1;
  } else if (tight && number_ == 1 && In(a, kNumberGoesOn)) {
    number_ = In(a, Bit(kSY) | Bit(kIS)) ? 1 : 2;
  } else {
    number_ = 0;
  }
  before_ = a;
  spaces_ = false;
  zwj_ = own == kZWJ;
  return allowed;
}

}  // namespace pagelift
