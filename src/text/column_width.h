#pragma once

#include <bitset>

namespace pagelift {

// Columns a character takes in folded text: 2 when some double-byte code of code page
// 932 (Windows Shift_JIS) decodes to it, else 1. A character that code page cannot
// hold is written as "?" there, so it counts 1 as well.
class ColumnWidths {
 public:
  // The table, built on first use (safe from any thread); throws Error when the code
  // page's converter is missing.
  static const ColumnWidths& Get();

  int Of(char16_t c) const { return wide_[c] ? 2 : 1; }

 private:
  ColumnWidths() = default;

  std::bitset<0x10000> wide_;
};

inline int ColumnWidth(char16_t c) {
  return ColumnWidths::Get().Of(c);
}

}  // namespace pagelift
