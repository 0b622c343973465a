#include "convert/shift_jis_table.h"

#include "convert/shift_jis_units.h"

namespace pagelift {

const ShiftJisTable& ShiftJisTable::Get() {
  static const ShiftJisTable table = [] {
    // A byte or pair that the converter would replace, or cannot finish, stays out of
    // the table.
    const ShiftJisUnitReader one_unit = OpenShiftJisUnitReader();

    ShiftJisTable built;
    for (unsigned byte = 0; byte < 256; ++byte) {
      const char single = static_cast<char>(byte);
      const int unit = one_unit(&single, 1);
      built.kinds_[byte] = unit >= 0 ? Kind::kSingle : Kind::kAsk;
      built.units_[byte] = unit >= 0 ? static_cast<char16_t>(unit) : 0;
    }
    // Row 0 stays all zero: the row of every byte that leads nothing.
    built.pairs_.assign(256, 0);
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (built.kinds_[lead] == Kind::kSingle) continue;
      std::vector<char16_t> row(256, 0);
      bool leads = false;
      for (unsigned trail = 0; trail < 256; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const int unit = one_unit(pair, 2);
        // A pair never decodes to U+0000; 0 is kept to mean "ask the converter".
        if (unit > 0) {
          row[trail] = static_cast<char16_t>(unit);
          leads = true;
        }
      }
      if (!leads) continue;
      built.kinds_[lead] = Kind::kLead;
      built.rows_[lead] = static_cast<std::uint8_t>(built.pairs_.size() / 256);
      built.pairs_.insert(built.pairs_.end(), row.begin(), row.end());
    }
    built.ascii_is_itself_ = true;
    for (unsigned byte = 0; byte < 0x80; ++byte) {
      if (built.kinds_[byte] != Kind::kSingle || built.units_[byte] != byte) {
        built.ascii_is_itself_ = false;
      }
    }
    return built;
  }();
  return table;
}

}  // namespace pagelift
