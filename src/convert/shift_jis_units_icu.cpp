#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <string>

#include "base/errors.h"
#include "convert/shift_jis_table.h"
#include "convert/shift_jis_units.h"

namespace pagelift {

namespace {

void ThrowIfFailed(UErrorCode status, const char* doing) {
  if (U_FAILURE(status)) {
    throw Error(std::string("cannot ") + doing +
                " the windows-31j converter: " + u_errorName(status));
  }
}

}  // namespace

ShiftJisUnitReader OpenShiftJisUnitReader() {
  UErrorCode status = U_ZERO_ERROR;
  std::shared_ptr<UConverter> converter(ucnv_open("windows-31j", &status), ucnv_close);
  ThrowIfFailed(status, "open");
  // A byte or pair that ICU would replace, or cannot finish, stops the conversion.
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ThrowIfFailed(status, "set up");
  return [converter](const char* bytes, int size) -> int {
    UChar units[2];
    UErrorCode decoded = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter.get(), units, 2, bytes, size, &decoded);
    if (U_FAILURE(decoded) || length != 1) return -1;
    return RestoreShiftJisControl(static_cast<char16_t>(units[0]));
  };
}

}  // namespace pagelift
