#include "convert/bom.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "judge/errors.h"

namespace pagelift {

namespace {

// The mark's bytes; refuses an unset mark and one with no bytes.
std::span<const std::uint8_t> MarkBytes(const ByteArray& BOM) {
  if (BOM.UBound() < 0) throw ArgumentError("a byte-order mark needs at least one byte");
  return BOM.Data();
}

}  // namespace

ByteArray CutBOM(const ByteArray& bytCode, const ByteArray& BOM) {
  const ByteArray::Index last = bytCode.UBound();  // throws when unset
  const std::span<const std::uint8_t> mark = MarkBytes(BOM);
  const std::span<const std::uint8_t> bytes = bytCode.Data();

  // Only a position holding the mark's first byte can start a mark, so the runs between
  // such positions are copied whole.
  std::vector<std::uint8_t> kept;
  kept.reserve(bytes.size());
  const std::size_t end = static_cast<std::size_t>(last + 1);
  std::size_t i = 0;
  while (i < end) {
    const void* hit = std::memchr(bytes.data() + i, mark[0], end - i);
    const std::size_t at =
        hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - bytes.data()) : end;
    kept.insert(kept.end(), bytes.begin() + i, bytes.begin() + at);
    if (at == end) break;
    if (end - at >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin() + at)) {
      i = at + mark.size();
    } else {
      kept.push_back(bytes[at]);
      i = at + 1;
    }
  }
  if (kept.empty()) return ByteArray::Marker();
  return ByteArray(std::move(kept));
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
