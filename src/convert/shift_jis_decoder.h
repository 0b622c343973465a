#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "convert/codec.h"
#include "convert/shift_jis_table.h"

namespace pagelift {

// Decodes Windows Shift_JIS with ShiftJisTable, runs of ASCII several bytes at a time, and
// hands whatever the table does not settle (bad bytes, cut pairs) to the platform's
// converter: the text is exactly that of the converter alone. A page may come in pieces
// cut anywhere; the text is the same as for the whole.
class ShiftJisDecoder {
 public:
  ShiftJisDecoder();

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when the converter fails.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  // Hands bytes from `at` to the converter up to a point where a character surely ends;
  // returns it.
  const std::uint8_t* ThroughConverter(const std::uint8_t* at, const std::uint8_t* end, bool last,
                                       char16_t*& to, char16_t* limit);

  const ShiftJisTable& table_;
  Codec codec_;
  bool codec_holds_bytes_ = false;  // the converter may be in the middle of a character
};

}  // namespace pagelift
