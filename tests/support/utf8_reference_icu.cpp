#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include "support/utf8_reference.h"

namespace pagelift::test {

bool ConverterReadsWellFormed(std::span<const std::uint8_t> bytes) {
  std::int32_t i = 0;
  const auto length = static_cast<std::int32_t>(bytes.size());
  while (i < length) {
    UChar32 c;
    U8_NEXT(bytes.data(), i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::u16string ConverterText(std::string_view bytes) {
  std::u16string text(bytes.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, bytes.data(),
                       static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
  text.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(length));
  return text;
}

std::string ConverterUtf8(std::u16string_view text) {
  std::string bytes(text.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, text.data(),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  bytes.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(length));
  return bytes;
}

}  // namespace pagelift::test
