#include "text/column_width.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <string>

#include "convert/code_page_932.h"
#include "judge/errors.h"

namespace pagelift {

namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

void ThrowIfFailed(UErrorCode status, const char* doing) {
  if (U_FAILURE(status)) {
    throw Error(std::string("cannot ") + doing +
                " the code page 932 converter: " + u_errorName(status));
  }
}

}  // namespace

// Decodes every double-byte code of code page 932 once. The decoder, not ICU's encoder,
// decides: its fallbacks give two bytes to characters Windows writes as one (U+00A5 by
// best fit as 5C) or as "?" (U+2212), which must count 1.
const ColumnWidths& ColumnWidths::Get() {
  static const ColumnWidths table = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open("windows-31j", &status));
    ThrowIfFailed(status, "open");
    // Stop at an unassigned or invalid code rather than decode it to U+001A or U+FFFD,
    // which would then count as double-byte characters.
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ThrowIfFailed(status, "set up");

    ColumnWidths built;
    const auto decode_row = [&](unsigned lead) {
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        UChar units[2];
        UErrorCode decoded = U_ZERO_ERROR;
        const int32_t length = ucnv_toUChars(converter.get(), units, 2, code, 2, &decoded);
        if (U_SUCCESS(decoded) && length == 1) built.widths_[units[0]] = 2;
      }
    };
    for (unsigned lead = 0x81; lead <= 0x9F; ++lead) decode_row(lead);
    for (unsigned lead = 0xE0; lead <= 0xFC; ++lead) decode_row(lead);
    // Windows writes these by best fit: they take what the character written takes.
    for (const BestFit& fit : Cp932BestFits()) {
      built.widths_[fit.character] = built.widths_[fit.read_back];
    }
    return built;
  }();
  return table;
}

}  // namespace pagelift
