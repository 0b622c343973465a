#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/codes.h"
#include "convert/bom.h"
#include "convert/charsets.h"

namespace pagelift {

// Pages are decoded this many bytes at a time: the text of a piece stays in cache for
// what is done with it next, and no converter is handed more than its 32-bit counts hold.
inline constexpr std::size_t kPieceBytes = 64 * 1024;

// Calls `take(piece, last)` for `bytes` cut into pieces of `piece_bytes` (at least 1), in
// order; once with an empty last piece when `bytes` is empty.
template <typename Take>
void ForEachPiece(std::span<const std::uint8_t> bytes, std::size_t piece_bytes, Take take) {
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(piece_bytes, bytes.size() - at);
    take(bytes.subspan(at, size), at + size == bytes.size());
    at += size;
  } while (at < bytes.size());
}

// The to-text member of a code (see DecodeAsCode), as the facade runs
// it in mode 0, for a page that comes in pieces cut anywhere: the text of all the pieces
// together is the member's text of the whole page. No piece is ever handed to a
// converter larger than it was given, so a page of any size can be decoded in pieces that
// fit the converters' 32-bit counts.
class PageDecoder {
 public:
  explicit PageDecoder(Code code);

  // Appends the text of `bytes`, the page's next piece, to `out`; `last` for its last
  // piece (which may be empty). Throws Error when a converter fails: unlike the member,
  // which gives an empty text then, so that a page whose text cannot be made is not
  // taken for an empty one.
  void Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);

  // Decodes all of `bytes`, `piece_bytes` (at least 1) at a time, appending the text of
  // each piece to `out` and calling `next(last)` after it, which may take that text away.
  template <typename Next>
  void DecodeAll(std::span<const std::uint8_t> bytes, std::size_t piece_bytes, std::u16string& out,
                 Next next) {
    ForEachPiece(bytes, piece_bytes, [&](std::span<const std::uint8_t> piece, bool last) {
      Decode(piece, last, out);
      next(last);
    });
  }

 private:
  std::optional<MarkCutter> marks_;          // codes with a mark cut it first
  std::unique_ptr<CharsetDecoder> charset_;  // none for UTF-16
  bool big_endian_;                          // UTF16BE: a unit's high byte first
  std::optional<std::uint8_t> odd_byte_;     // UTF-16: the first half of a unit
};

}  // namespace pagelift
