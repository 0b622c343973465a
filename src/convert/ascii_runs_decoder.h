#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "convert/icu_codec.h"

namespace pagelift {

// Decodes a charset in which a byte below 0x80 is always that ASCII character and never
// part of another (EUC-JP, UTF-8) by copying runs of ASCII sixteen bytes at a time and
// handing what lies between them to ICU: the text is exactly that of ICU alone. A page may
// come in pieces cut anywhere; the text is the same as for the whole.
class AsciiRunsDecoder {
 public:
  // `name`, ICU's name of such a charset. Where ICU reads an ASCII byte otherwise, every
  // byte goes to ICU.
  explicit AsciiRunsDecoder(const char* name);

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when ICU fails.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  // Hands bytes from `at` to ICU up to the first byte of a long run of ASCII, that byte
  // included: whatever came before, a character ends with it. Returns where ICU stopped.
  const std::uint8_t* ThroughIcu(const std::uint8_t* at, const std::uint8_t* end, bool last,
                                 char16_t*& to, char16_t* limit);

  IcuCodec icu_;
  bool ascii_is_itself_ = false;
  bool icu_holds_bytes_ = false;  // ICU may be in the middle of a character
};

}  // namespace pagelift
