#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The platform's own conversions by Windows code page number: Windows' functions on
// Windows (code_pages_windows.cpp), ICU converters that behave as they do elsewhere
// (code_pages_icu.cpp). CMake builds one of the two.

namespace pagelift {

// The bytes of `text` in `code_page`; none for a code page the platform does not know.
// May throw.
std::vector<std::uint8_t> TextToCodePage(std::int32_t code_page, std::u16string_view text);

// The text of `bytes` in `code_page`; none for a code page the platform does not know.
// May throw.
std::u16string CodePageToText(std::int32_t code_page, std::span<const std::uint8_t> bytes);

}  // namespace pagelift
