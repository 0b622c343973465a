#include <unicode/ustring.h>

#include <string>

#include "base/errors.h"
#include "convert/utf8_units.h"

namespace pagelift {

const bool kUtf8UnitsAsConverter = true;

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

void ThrowIfFailed(UErrorCode status) {
  if (status == U_STRING_NOT_TERMINATED_WARNING) return;
  if (U_FAILURE(status)) throw Error(std::string("UTF-8 conversion: ") + u_errorName(status));
}

}  // namespace

char16_t* Utf8ToUnits(const std::uint8_t* bytes, std::size_t size, char16_t* to) {
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(to, static_cast<int32_t>(size), &length,
                       reinterpret_cast<const char*>(bytes), static_cast<int32_t>(size),
                       kReplacement, nullptr, &status);
  ThrowIfFailed(status);
  return to + length;
}

char* UnitsToUtf8(const char16_t* units, std::size_t size, char* to, std::size_t room) {
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(to, static_cast<int32_t>(room), &length, units, static_cast<int32_t>(size),
                     kReplacement, nullptr, &status);
  ThrowIfFailed(status);
  return to + length;
}

}  // namespace pagelift
