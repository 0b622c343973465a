#pragma once

#include <cstddef>
#include <cstdint>

// The platform's UTF-8 conversions of one stretch of text of less than 2 GB: ICU's
// (utf8_units_icu.cpp) or Windows' (utf8_units_windows.cpp). CMake builds one of the two.

namespace pagelift {

// Whether Utf8ToUnits gives the text the platform's UTF-8 converter (see Codec) gives for
// every sequence, invalid ones included: then pages are decoded through it, which is
// faster. ICU's two agree; Windows' MultiByteToWideChar replaces some invalid sequences
// otherwise than MLang does.
extern const bool kUtf8UnitsAsConverter;

// Writes the UTF-16 units of `size` UTF-8 bytes at `bytes` to `to`, which has room for
// `size` units, each invalid sequence as U+FFFD; returns the end of what was written.
// Throws Error when the converter fails.
char16_t* Utf8ToUnits(const std::uint8_t* bytes, std::size_t size, char16_t* to);

// Writes the UTF-8 bytes of `size` units at `units` to `to`, which has room for `room`
// bytes (three a unit suffice), an unpaired surrogate as U+FFFD; returns the end of what
// was written. Throws Error when the converter fails.
char* UnitsToUtf8(const char16_t* units, std::size_t size, char* to, std::size_t room);

}  // namespace pagelift
