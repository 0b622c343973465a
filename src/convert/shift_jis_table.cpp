#include "convert/shift_jis_table.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <string>

#include "base/errors.h"

namespace pagelift {

namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

void ThrowIfFailed(UErrorCode status, const char* doing) {
  if (U_FAILURE(status)) {
    throw Error(std::string("cannot ") + doing +
                " the windows-31j converter: " + u_errorName(status));
  }
}

}  // namespace

const ShiftJisTable& ShiftJisTable::Get() {
  static const ShiftJisTable table = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("windows-31j", &status));
    ThrowIfFailed(status, "open");
    // A byte or pair that ICU would replace, or cannot finish, stops the conversion and
    // stays out of the table.
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ThrowIfFailed(status, "set up");
    // The text of `bytes` when ICU decodes them to one unit without complaint, else none.
    const auto one_unit = [&](const char* bytes, int32_t size) -> int {
      UChar units[2];
      UErrorCode decoded = U_ZERO_ERROR;
      const int32_t length = ucnv_toUChars(converter.get(), units, 2, bytes, size, &decoded);
      return U_SUCCESS(decoded) && length == 1 ? units[0] : -1;
    };

    ShiftJisTable built;
    for (unsigned byte = 0; byte < 256; ++byte) {
      const char single = static_cast<char>(byte);
      const int unit = one_unit(&single, 1);
      built.kinds_[byte] = unit >= 0 ? Kind::kSingle : Kind::kAsk;
      built.units_[byte] = unit >= 0 ? RestoreShiftJisControl(static_cast<char16_t>(unit)) : 0;
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
        // A pair never decodes to U+0000; 0 is kept to mean "ask ICU".
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
