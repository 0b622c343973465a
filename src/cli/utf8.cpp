#include "cli/utf8.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <limits>

#include "cli/usage_error.h"

namespace pagelift::cli {

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

void ThrowIfFailed(UErrorCode status) {
  if (U_FAILURE(status)) throw UsageError(std::string("UTF-8 conversion: ") + u_errorName(status));
}

}  // namespace

std::u16string TextOfUtf8(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw UsageError("the input is too large (2 GB or more)");
  }
  if (bytes.empty()) return {};
  // UTF-8 never takes fewer bytes than UTF-16 takes units.
  std::u16string text(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length,
                       reinterpret_cast<const char*>(bytes.data()),
                       static_cast<int32_t>(bytes.size()), kReplacement, nullptr, &status);
  ThrowIfFailed(status);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void WriteUtf8(std::ostream& out, std::u16string_view text) {
  // In pieces, so that no length passes the converter's 32-bit limit; a piece never ends
  // between the two halves of a surrogate pair.
  constexpr std::size_t kPiece = 1 << 16;
  std::string bytes(kPiece * 3, '\0');
  while (!text.empty()) {
    std::size_t size = std::min(text.size(), kPiece);
    if (size < text.size() && U16_IS_LEAD(text[size - 1])) --size;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, text.data(),
                       static_cast<int32_t>(size), kReplacement, nullptr, &status);
    ThrowIfFailed(status);
    out.write(bytes.data(), length);
    text.remove_prefix(size);
  }
}

}  // namespace pagelift::cli
