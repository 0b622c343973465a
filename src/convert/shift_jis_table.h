#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pagelift {

// What Windows Shift_JIS decodes each byte and each pair of bytes to, read once from the
// platform's converter (see shift_jis_units.h), so that the common characters of a page
// are looked up rather than converted. Only what the converter decodes without a
// complaint is here: every other byte or pair is left to the converter, so that bad input
// is replaced exactly as it replaces it.
class ShiftJisTable {
 public:
  // The table, built on first use (safe from any thread); throws Error when the
  // converter is missing.
  static const ShiftJisTable& Get();

  // What a byte is on its own.
  enum class Kind : std::uint8_t {
    kSingle,  // a character of one byte: Unit() is its text
    kLead,    // the first byte of a pair: Pair() looks it up
    kAsk,     // anything else: the converter decides
  };
  Kind KindOf(std::uint8_t byte) const { return kinds_[byte]; }
  char16_t Unit(std::uint8_t byte) const { return units_[byte]; }
  // The text of the pair `lead`, `trail`, or 0 when the converter must decide. `lead`
  // must be kLead.
  char16_t Pair(std::uint8_t lead, std::uint8_t trail) const {
    return pairs_[rows_[lead] * 256u + trail];
  }
  // Whether every byte below 0x80 is the character of the same number, so that runs of
  // them can be copied without looking each up.
  bool AsciiIsItself() const { return ascii_is_itself_; }

 private:
  ShiftJisTable() = default;

  std::array<Kind, 256> kinds_{};
  std::array<char16_t, 256> units_{};
  std::array<std::uint8_t, 256> rows_{};  // the row of each lead in `pairs_`
  std::vector<char16_t> pairs_;           // 256 trails a row
  bool ascii_is_itself_ = false;
};

// ICU's windows-31j keeps the IBM PC arrangement of three controls (1A <-> U+001C,
// 1C <-> U+007F, 7F <-> U+001A); Windows maps all three to themselves. Puts back one unit
// of ICU's text.
inline char16_t RestoreShiftJisControl(char16_t c) {
  switch (c) {
    case 0x1C:
      return 0x1A;
    case 0x7F:
      return 0x1C;
    case 0x1A:
      return 0x7F;
    default:
      return c;
  }
}

}  // namespace pagelift
