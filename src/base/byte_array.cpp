#include "base/byte_array.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include "base/errors.h"

namespace pagelift {

ByteArray::ByteArray(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)), set_(true) {}

ByteArray::ByteArray(std::initializer_list<std::uint8_t> bytes) : bytes_(bytes), set_(true) {}

ByteArray ByteArray::Marker() {
  ByteArray marker(std::vector<std::uint8_t>{0});
  marker.lower_ = -1;
  return marker;
}

ByteArray::Index ByteArray::LBound() const {
  if (!set_) throw SubscriptError("subscript out of range: the byte array is not set");
  return lower_;
}

ByteArray::Index ByteArray::UBound() const {
  if (!set_) throw SubscriptError("subscript out of range: the byte array is not set");
  return lower_ + static_cast<Index>(bytes_.size()) - 1;
}

std::uint8_t ByteArray::At(Index index) const {
  if (!set_ || index < lower_ || index > UBound()) {
    throw SubscriptError("subscript out of range: byte index " + std::to_string(index));
  }
  return bytes_[static_cast<std::size_t>(index - lower_)];
}

std::span<const std::uint8_t> ByteArray::Data() const noexcept {
  if (!set_ || lower_ != 0) return {};
  return bytes_;
}

std::ostream& operator<<(std::ostream& out, const ByteArray& array) {
  if (!array.IsSet()) return out << "unset";
  if (array.IsMarker()) return out << "marker";
  out << '{';
  bool first = true;
  for (std::uint8_t byte : array.Data()) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    out << (first ? "" : " ") << hex;
    first = false;
  }
  return out << '}';
}

}  // namespace pagelift
