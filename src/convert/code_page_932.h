#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift {

// Code page 932 as Windows' WideCharToMultiByte writes it. A character the code page has
// no code for is written by "best fit" when Windows' table has one for it (« as 81 E1,
// which reads back as ≪; é as "e"), else as "?".

// One entry of Windows' best-fit table.
struct BestFit {
  char16_t character;
  char16_t read_back;   // what the bytes written for it decode to
  std::uint16_t bytes;  // one byte, or two with the lead byte high
};

// Every entry, in the order of the characters.
std::basic_string_view<BestFit> Cp932BestFits();

// The character Windows writes in place of `c` by best fit; `c` itself when it has none.
char16_t Cp932BestFit(char16_t c);

// The bytes of `text` as Windows writes them in code page 932: best fit where the table
// has one, "?" for any other character the code page cannot hold. Throws Error when the
// converter fails.
std::vector<std::uint8_t> EncodeCodePage932(std::u16string_view text);

}  // namespace pagelift
