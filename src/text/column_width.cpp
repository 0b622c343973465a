#include "text/column_width.h"

#include "convert/code_page_932.h"
#include "convert/shift_jis_table.h"

namespace pagelift {

// Every character that a double-byte code of code page 932 decodes to, and every one
// Windows writes by best fit as such a code. The decoder, not ICU's encoder, decides: its
// fallbacks give two bytes to characters Windows writes as one (U+00A5 by best fit as 5C)
// or as "?" (U+2212), which must count 1.
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
    // Windows writes these by best fit: they take what the character written takes.
    for (const BestFit& fit : Cp932BestFits()) {
      built.widths_[fit.character] = built.widths_[fit.read_back];
    }
    return built;
  }();
  return table;
}

}  // namespace pagelift
