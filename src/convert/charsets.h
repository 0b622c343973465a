#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

class AsciiRunsDecoder;
class IcuCodec;
class ShiftJisDecoder;

// The charsets Japanese pages come in, each as such pages really use it.
enum class Charset {
  kShiftJis,          // the Windows variant: 5C is a backslash, the NEC and IBM rows decode
  kIso2022Jp,         // JIS X 0212 included when encoding
  kIso2022JpWindows,  // JIS X 0208 only when encoding, as Windows code page 50221 writes it
  kEucJp,             // with half-width katakana (8E) and JIS X 0212 (8F)
  kUtf7,
  kUtf8,  // never a byte-order mark in front
};

// The charset a name stands for ("Shift_JIS", "ISO-2022-JP", "EUC-JP", "UTF-7", "UTF-8",
// any letter case), or none.
std::optional<Charset> CharsetNamed(std::string_view name);

// Bad bytes decode to U+FFFD and decoding goes on; characters the charset cannot hold
// encode as "?". ISO-2022-JP decoding accepts ESC ( B, ESC ( J, ESC ( I, ESC $ @, ESC $ B,
// ESC $ D and ESC $ ( D; encoding writes half-width katakana as ESC ( I single bytes.
// Throw Error when the converter fails.
std::u16string Decode(Charset charset, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> Encode(Charset charset, std::u16string_view text);

// Decode for a page that comes in pieces, cut anywhere: the text is the same as Decode's
// for the whole page.
class CharsetDecoder {
 public:
  explicit CharsetDecoder(Charset charset);
  ~CharsetDecoder();
  CharsetDecoder(const CharsetDecoder&) = delete;
  CharsetDecoder& operator=(const CharsetDecoder&) = delete;

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when the converter fails.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

 private:
  Charset charset_;
  std::unique_ptr<ShiftJisDecoder> shift_jis_;
  std::unique_ptr<AsciiRunsDecoder> ascii_runs_;
  std::unique_ptr<IcuCodec> icu_;
  std::vector<std::uint8_t> held_;  // ISO-2022-JP: the end of a piece that may begin ESC $ D
  std::vector<std::uint8_t> patched_;
};

// Shift_JIS as ICU alone decodes it, the three controls put back: what Decode gives for
// kShiftJis, the slow way, for comparing the two.
std::u16string DecodeShiftJisByIcu(std::span<const std::uint8_t> bytes);

// The same through any converter ICU knows by `name`, with no adjustments.
std::u16string DecodeByIcuName(const char* name, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeByIcuName(const char* name, std::u16string_view text);

}  // namespace pagelift
