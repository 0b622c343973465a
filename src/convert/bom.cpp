#include "convert/bom.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "base/errors.h"

namespace pagelift {

namespace {

// The mark's bytes; refuses an unset mark and one with no bytes.
std::span<const std::uint8_t> MarkBytes(const ByteArray& BOM) {
  if (BOM.UBound() < 0) throw ArgumentError("a byte-order mark needs at least one byte");
  return BOM.Data();
}

}  // namespace

// Appends to `kept` the bytes of `bytes` that are not part of a mark, scanning left to
// right without overlap. With `ends` false, a mark begun at the end but cut short stops
// the scan; returns where it stopped (the size of `bytes` when it did not).
std::size_t KeepUnmarked(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> mark,
                         bool ends, std::vector<std::uint8_t>& kept) {
  // Only a position holding the mark's first byte can start a mark, so the runs between
  // such positions are copied whole.
  const std::size_t end = bytes.size();
  std::size_t i = 0;
  while (i < end) {
    const void* hit = std::memchr(bytes.data() + i, mark[0], end - i);
    const std::size_t at =
        hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - bytes.data()) : end;
    kept.insert(kept.end(), bytes.begin() + i, bytes.begin() + at);
    if (at == end) break;
    if (end - at >= mark.size()) {
      if (std::equal(mark.begin(), mark.end(), bytes.begin() + at)) {
        i = at + mark.size();
        continue;
      }
    } else if (!ends && std::equal(bytes.begin() + at, bytes.end(), mark.begin())) {
      return at;  // the rest may be the start of a mark
    }
    kept.push_back(bytes[at]);
    i = at + 1;
  }
  return end;
}

ByteArray CutBOM(const ByteArray& bytCode, const ByteArray& BOM) {
  const ByteArray::Index last = bytCode.UBound();  // throws when unset
  const std::span<const std::uint8_t> mark = MarkBytes(BOM);
  const std::span<const std::uint8_t> bytes = bytCode.Data();
  std::vector<std::uint8_t> kept;
  kept.reserve(bytes.size());
  KeepUnmarked(bytes.first(static_cast<std::size_t>(last + 1)), mark, true, kept);
  if (kept.empty()) return ByteArray::Marker();
  return ByteArray(std::move(kept));
}

std::span<const std::uint8_t> MarkCutter::Cut(std::span<const std::uint8_t> piece, bool last) {
  kept_.clear();
  if (held_.empty()) {
    const std::size_t stop = KeepUnmarked(piece, mark_, last, kept_);
    held_.assign(piece.begin() + static_cast<std::ptrdiff_t>(stop), piece.end());
  } else {
    held_.insert(held_.end(), piece.begin(), piece.end());
    const std::size_t stop = KeepUnmarked(held_, mark_, last, kept_);
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(stop));
  }
  return kept_;
}

ByteArray AddBOM(const ByteArray& bytCode, const ByteArray& BOM) {
  bytCode.UBound();  // an unset array is a subscript error, as for the mark
  const std::span<const std::uint8_t> mark = MarkBytes(BOM);
  const std::span<const std::uint8_t> bytes = bytCode.Data();
  std::vector<std::uint8_t> out;
  out.reserve(mark.size() + bytes.size());
  out.insert(out.end(), mark.begin(), mark.end());
  out.insert(out.end(), bytes.begin(), bytes.end());
  return ByteArray(std::move(out));
}

}  // namespace pagelift
