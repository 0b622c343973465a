#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace pagelift::cli {

// The text of UTF-8 bytes; each invalid sequence becomes U+FFFD. Nothing else is
// changed: a byte-order mark stays as U+FEFF. Throws UsageError for input of 2 GB or
// more, which the converter cannot take in one piece.
std::u16string TextOfUtf8(std::span<const std::uint8_t> bytes);

// Writes `text` as UTF-8, an unpaired surrogate as U+FFFD.
void WriteUtf8(std::ostream& out, std::u16string_view text);

}  // namespace pagelift::cli
