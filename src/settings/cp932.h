#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// Code page 932 (Shift_JIS as Windows writes it), the text of the settings file.

// The text of `bytes`. A byte that is no valid code page 932 becomes U+FFFD and the
// decoding goes on. With `complete` false the bytes are a cut prefix: a double-byte
// character whose second byte was cut off is dropped instead of becoming U+FFFD.
std::u16string DecodeCp932(std::string_view bytes, bool complete = true);

// The bytes of `text` as Windows writes them: by best fit where it has one for a
// character code page 932 cannot hold, else (an unpaired surrogate too) "?".
std::string EncodeCp932(std::u16string_view text);

// `url` with every character that code page 932 cannot hold exactly written as its
// UTF-8 bytes in %XX form, which is what a download sends for it anyway; the rest as it
// is. So the URL stays the same URL when it is saved in code page 932.
std::u16string WithCp932UrlEscapes(std::u16string_view url);

}  // namespace pagelift
