#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace pagelift {

// Columns a character takes in folded text: the bytes Windows writes for it in code page
// 932 (Windows Shift_JIS). 2 when some double-byte code decodes to it, or when Windows
// writes it by best fit as one (« as ≪); else 1, as for a character written as "?".
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

// The whole columns a fold width allows: widths are whole numbers, so a piece fits `width`
// exactly when it fits its whole part. Anything not below 2^62 (infinity and NaN included)
// never folds (INT64_MAX); a negative width gives -1, which no character fits.
inline std::int64_t WholeColumns(double width) {
  if (!(width < 0x1p62)) return INT64_MAX;
  if (width < 0) return -1;
  return static_cast<std::int64_t>(std::floor(width));
}

inline int ColumnWidth(char16_t c) {
  return ColumnWidths::Get().Of(c);
}

}  // namespace pagelift
