#pragma once

#include <array>
#include <cstdint>

namespace pagelift {

// Columns a character takes in folded text: 2 when some double-byte code of code page
// 932 (Windows Shift_JIS) decodes to it, else 1. A character that code page cannot
// hold is written as "?" there, so it counts 1 as well.
class ColumnWidths {
 public:
  // The table, built on first use (safe from any thread); throws Error when the code
  // page's converter is missing.
  static const ColumnWidths& Get();

  int Of(char16_t c) const { return widths_[c]; }

 private:
  ColumnWidths() { widths_.fill(1); }

  // Bytes rather than bits: the fold looks up every character, and a byte needs no
  // shifting.
  std::array<std::uint8_t, 0x10000> widths_;
};

inline int ColumnWidth(char16_t c) {
  return ColumnWidths::Get().Of(c);
}

}  // namespace pagelift
