#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pagelift {

// UTF-8 for the world outside the program (shells, files): bytes that are not UTF-8
// read as U+FFFD, and an unpaired surrogate is written as U+FFFD.
std::u16string Utf8ToText(std::span<const std::uint8_t> bytes);
std::string TextToUtf8(std::u16string_view text);

}  // namespace pagelift
