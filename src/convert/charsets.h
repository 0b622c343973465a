#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

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

// The same through any converter ICU knows by `name`, with no adjustments.
std::u16string DecodeByIcuName(const char* name, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> EncodeByIcuName(const char* name, std::u16string_view text);

}  // namespace pagelift
