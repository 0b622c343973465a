#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct UConverter;

namespace pagelift {

// One ICU converter, opened by name for the length of one conversion. Bytes that are not
// valid in the charset decode to U+FFFD and decoding goes on; characters the charset
// cannot hold encode as "?". Throws Error when the converter cannot be opened or fails.
class IcuCodec {
 public:
  explicit IcuCodec(const char* name);
  ~IcuCodec();
  IcuCodec(const IcuCodec&) = delete;
  IcuCodec& operator=(const IcuCodec&) = delete;

  // Appends the text of `bytes` to `out`.
  void DecodeInto(std::span<const std::uint8_t> bytes, std::u16string& out);
  // The same for a text that comes in pieces: each call goes on from where the previous
  // one left off (a character or an escape sequence may run from one piece into the
  // next), and `last` ends the text, after which the next call starts a new one.
  void DecodePartInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);
  // DecodePartInto, writing to [target, limit) and returning the end of what was written:
  // for a caller that knows how much room the text takes at most. Throws Error when it
  // needs more.
  char16_t* DecodePartTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                         char16_t* limit);
  // Appends the bytes of `text` to `out`, closing any shift state at the end
  // (ISO-2022-JP returns to ASCII).
  void EncodeInto(std::u16string_view text, std::vector<std::uint8_t>& out);

 private:
  void DecodePieceInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

  UConverter* converter_ = nullptr;
};

}  // namespace pagelift
