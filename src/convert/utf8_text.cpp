#include "convert/utf8_text.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <limits>

#include "judge/errors.h"

namespace pagelift {

namespace {

constexpr UChar32 kReplacement = 0xFFFD;

void ThrowIfFailed(UErrorCode status) {
  if (U_FAILURE(status)) throw Error(std::string("UTF-8 conversion: ") + u_errorName(status));
}

// Converts `text` in pieces, so that no length passes the converter's 32-bit limit, into
// `bytes`; a piece never ends between the two halves of a surrogate pair.
template <typename Sink>
void ForEachUtf8Piece(std::u16string_view text, std::string& bytes, Sink sink) {
  constexpr std::size_t kPiece = 1 << 16;
  bytes.resize(std::max(bytes.size(), std::min(text.size(), kPiece) * 3));
  while (!text.empty()) {
    std::size_t size = std::min(text.size(), kPiece);
    if (size < text.size() && U16_IS_LEAD(text[size - 1])) --size;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, text.data(),
                       static_cast<int32_t>(size), kReplacement, nullptr, &status);
    ThrowIfFailed(status);
    sink(std::string_view(bytes.data(), static_cast<std::size_t>(length)));
    text.remove_prefix(size);
  }
}

}  // namespace

std::u16string Utf8ToText(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw Error("the text is too large (2 GB or more)");
  }
  if (bytes.empty()) return {};
  // UTF-8 never takes fewer bytes than UTF-16 takes units.
  std::u16string text(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length,
                       reinterpret_cast<const char*>(bytes.data()),
                       static_cast<int32_t>(bytes.size()), kReplacement, nullptr, &status);
  if (status == U_STRING_NOT_TERMINATED_WARNING) status = U_ZERO_ERROR;
  ThrowIfFailed(status);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string TextToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  std::string bytes;
  ForEachUtf8Piece(text, bytes, [&out](std::string_view piece) { out += piece; });
  return out;
}

void WriteUtf8(std::ostream& out, std::u16string_view text) {
  Utf8Writer writer(out);
  writer.Write(text);
  writer.Finish();
}

void Utf8Writer::Write(std::u16string_view part) {
  const auto write = [this](std::string_view piece) {
    out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  if (!held_.empty() && !part.empty()) {
    // The held lead and the unit after it, as a pair when they are one.
    if (U16_IS_TRAIL(part.front())) {
      held_.push_back(part.front());
      part.remove_prefix(1);
    }
    ForEachUtf8Piece(held_, bytes_, write);
    held_.clear();
  }
  if (!part.empty() && U16_IS_LEAD(part.back())) {
    held_.push_back(part.back());
    part.remove_suffix(1);
  }
  ForEachUtf8Piece(part, bytes_, write);
}

void Utf8Writer::Finish() {
  const auto write = [this](std::string_view piece) {
    out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  ForEachUtf8Piece(held_, bytes_, write);
  held_.clear();
}

}  // namespace pagelift
