#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/byte_array.h"

namespace pagelift {

// `bytCode` without any occurrence of `BOM`, scanning left to right without overlap; a
// mark that does not fit before the end stays. Returns the marker array when no byte
// is kept. SubscriptError for an unset argument, ArgumentError for a mark of no bytes.
ByteArray CutBOM(const ByteArray& bytCode, const ByteArray& BOM);

// `BOM` followed by `bytCode`, whether or not `bytCode` already starts with the mark.
// Same errors as CutBOM.
ByteArray AddBOM(const ByteArray& bytCode, const ByteArray& BOM);

// CutBOM for an array that comes in pieces, cut anywhere: the bytes kept from all the
// pieces together are those CutBOM keeps of the whole array.
class MarkCutter {
 public:
  // `mark` holds at least one byte.
  explicit MarkCutter(std::vector<std::uint8_t> mark) : mark_(std::move(mark)) {}

  // The bytes kept of the array's next piece (`last` for its last one), valid until the
  // next call. The end of a piece that may begin a mark waits for the next piece.
  std::span<const std::uint8_t> Cut(std::span<const std::uint8_t> piece, bool last);

 private:
  std::vector<std::uint8_t> mark_;
  std::vector<std::uint8_t> held_;
  std::vector<std::uint8_t> kept_;
};

}  // namespace pagelift
