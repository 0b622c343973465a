#include "text/column_width.h"

#include "convert/shift_jis_table.h"

namespace pagelift {

// Every character that a double-byte code of code page 932 decodes to. The decoder, not
// the encoder, decides: the encoder's fallbacks give two bytes to characters the code page
// cannot hold (U+00A5, U+2212), which must count 1.
const ColumnWidths& ColumnWidths::Get() {
  static const ColumnWidths table = [] {
    const ShiftJisTable& codes = ShiftJisTable::Get();
    ColumnWidths built;
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (codes.KindOf(static_cast<std::uint8_t>(lead)) != ShiftJisTable::Kind::kLead) continue;
      for (unsigned trail = 0; trail < 256; ++trail) {
        const char16_t unit =
            codes.Pair(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail));
        if (unit != 0) built.widths_[unit] = 2;
      }
    }
    return built;
  }();
  return table;
}

}  // namespace pagelift
