#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pagelift::cli {

// The text of a page's bytes in the code `code` names ("UTF-8" or "UTF8"), as the fetch
// command decodes it: the UTF-8 byte-order marks cut, each invalid sequence U+FFFD.
// Other codes are not decoded yet: UsageError.
std::u16string DecodeForText(const std::string& code, std::span<const std::uint8_t> bytes);

}  // namespace pagelift::cli
