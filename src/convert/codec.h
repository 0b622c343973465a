#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/charsets.h"

// The platform's converter for one of the charsets of Japanese pages, made to read and
// write it as such pages use it: ICU's converters (codec_icu.cpp) or, on Windows, MLang's
// (codec_windows.cpp). CMake builds one of the two. Bytes that are not valid in the
// charset decode as the platform's converter renders them (ICU: U+FFFD) and decoding goes
// on; characters the charset cannot hold encode as "?".

namespace pagelift {

class Codec {
 public:
  // Throws Error when the platform has no converter for `charset`.
  explicit Codec(Charset charset);
  ~Codec();
  Codec(const Codec&) = delete;
  Codec& operator=(const Codec&) = delete;

  // Appends the text of `bytes` to `out`.
  void DecodeInto(std::span<const std::uint8_t> bytes, std::u16string& out);
  // The same for a text that comes in pieces: each call goes on from where the previous
  // one left off (a character or an escape sequence may run from one piece into the
  // next), and `last` ends the text, after which the next call starts a new one.
  void DecodePartInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);
  // DecodePartInto, writing to [target, limit) and returning the end of what was written:
  // for a caller that knows how much room the text takes at most (no more units than
  // bytes, and a few for the end of the piece before). Throws Error when it needs more.
  // Only for Shift_JIS, EUC-JP and UTF-8.
  char16_t* DecodePartTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                         char16_t* limit);
  // Appends the bytes of `text` to `out`, closing any shift state at the end
  // (ISO-2022-JP returns to ASCII).
  void EncodeInto(std::u16string_view text, std::vector<std::uint8_t>& out);

  // Whether a byte below 0x80 always reads as that ASCII character alone, never as part
  // of a longer sequence, whatever comes before it: then runs of ASCII can be copied
  // rather than converted.
  bool AsciiStandsAlone() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Conversions by any charset name the platform's converter knows, with no adjustments:
// for names beyond those of CharsetNamed. Throw Error for a name it does not know.
std::u16string DecodeByName(const char* name, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeByName(const char* name, std::u16string_view text);

}  // namespace pagelift
