#include "convert/utf8_text.h"

#include <unicode/ustring.h>

#include "judge/errors.h"

namespace pagelift {

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

void Check(UErrorCode error) {
  if (U_FAILURE(error)) throw Error(std::string("UTF-8 conversion failed: ") + u_errorName(error));
}

}  // namespace

std::u16string Utf8ToText(std::span<const std::uint8_t> bytes) {
  // UTF-8 never needs more UTF-16 units than it has bytes.
  std::u16string text(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()),
                       &length, reinterpret_cast<const char*>(bytes.data()),
                       static_cast<int32_t>(bytes.size()), kReplacement, nullptr, &error);
  if (error == U_STRING_NOT_TERMINATED_WARNING) error = U_ZERO_ERROR;
  Check(error);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string TextToUtf8(std::u16string_view text) {
  // At most three bytes for each UTF-16 unit.
  std::string bytes(text.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length,
                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                     kReplacement, nullptr, &error);
  if (error == U_STRING_NOT_TERMINATED_WARNING) error = U_ZERO_ERROR;
  Check(error);
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

}  // namespace pagelift
