#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "convert/icu_codec.h"
#include "convert/shift_jis_table.h"

namespace pagelift {

// Decodes Windows Shift_JIS with ShiftJisTable, runs of ASCII several bytes at a time, and
// hands whatever the table does not settle (bad bytes, cut pairs) to ICU: the text is
// exactly that of ICU's windows-31j with the three swapped controls put back. A page may
// come in pieces cut anywhere; the text is the same as for the whole.
class ShiftJisDecoder {
 public:
  ShiftJisDecoder();

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when ICU fails.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  // Hands bytes from `at` to ICU up to a point where a character surely ends; returns it.
  const std::uint8_t* ThroughIcu(const std::uint8_t* at, const std::uint8_t* end, bool last,
                                 char16_t*& to, char16_t* limit);

  const ShiftJisTable& table_;
  IcuCodec icu_;
  bool icu_holds_bytes_ = false;  // ICU may be in the middle of a character
};

}  // namespace pagelift
