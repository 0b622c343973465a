#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The platform's own UTF-8 converter, called directly, for tests that compare the
// program's faster paths with it: ICU (utf8_reference_icu.cpp) or Windows
// (utf8_reference_windows.cpp).

namespace pagelift::test {

// Whether the converter reads `bytes` with no invalid sequence.
bool ConverterReadsWellFormed(std::span<const std::uint8_t> bytes);

// The converter's text of `bytes`, each invalid sequence as U+FFFD.
std::u16string ConverterText(std::string_view bytes);

// The converter's UTF-8 of `text`, an unpaired surrogate as U+FFFD.
std::string ConverterUtf8(std::u16string_view text);

}  // namespace pagelift::test
