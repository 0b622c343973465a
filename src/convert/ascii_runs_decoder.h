#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "convert/charsets.h"
#include "convert/codec.h"

namespace pagelift {

// Decodes a charset in which a byte below 0x80 is always that ASCII character and never
// part of another (EUC-JP, UTF-8) by copying runs of ASCII sixteen bytes at a time and
// handing what lies between them to the platform's converter: the text is exactly that of
// the converter alone. A page may come in pieces cut anywhere; the text is the same as for
// the whole.
class AsciiRunsDecoder {
 public:
  // Where the converter reads an ASCII byte otherwise, every byte goes to it.
  explicit AsciiRunsDecoder(Charset charset);

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when the converter fails.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  // Hands bytes from `at` to the converter up to the first byte of a long run of ASCII,
  // that byte included: whatever came before, a character ends with it. Returns where it
  // stopped.
  const std::uint8_t* ThroughConverter(const std::uint8_t* at, const std::uint8_t* end, bool last,
                                       char16_t*& to, char16_t* limit);

  Codec codec_;
  bool ascii_is_itself_ = false;
  bool codec_holds_bytes_ = false;  // the converter may be in the middle of a character
};

}  // namespace pagelift
