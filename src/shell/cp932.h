#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// Code page 932 (Shift_JIS as Windows writes it), the text of the settings file.

// The text of `bytes`. A byte that is no valid code page 932 becomes U+FFFD and the
// decoding goes on. With `complete` false the bytes are a cut prefix: a double-byte
// character whose second byte was cut off is dropped instead of becoming U+FFFD.
std::u16string DecodeCp932(std::string_view bytes, bool complete = true);

// The bytes of `text`; a character that code page 932 cannot hold, or an unpaired
// surrogate, becomes "?".
std::string EncodeCp932(std::u16string_view text);

}  // namespace pagelift
