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
class Codec;
class ShiftJisDecoder;
class Utf8Reader;

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

// Through the platform's converter (see codec.h): bad bytes decode to U+FFFD (on Windows,
// as Windows renders them) and decoding goes on; characters the charset cannot hold
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
  std::unique_ptr<ShiftJisDecoder> shift_jis_;
  std::unique_ptr<AsciiRunsDecoder> ascii_runs_;
  std::unique_ptr<Utf8Reader> utf8_;
  std::unique_ptr<Codec> codec_;
};

// What Decode gives, the slow way: every byte through the platform's converter, none
// looked up or copied past it. For comparing the two.
std::u16string DecodeByConverterAlone(Charset charset, std::span<const std::uint8_t> bytes);

}  // namespace pagelift
