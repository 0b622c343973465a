#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <span>
#include <vector>

namespace pagelift {

// A run of bytes with an inclusive index range, in the states the conversions rely on:
//   unset   - no storage at all; asking for its bounds is a subscript error;
//   empty   - no elements, upper bound -1;
//   normal  - elements indexed from 0;
//   marker  - one element (0) whose only index is -1, so its upper bound is -1 too.
class ByteArray {
 public:
  using Index = std::int64_t;

  // Unset.
  ByteArray() = default;
  // Elements indexed from 0 (empty when `bytes` is).
  explicit ByteArray(std::vector<std::uint8_t> bytes);
  ByteArray(std::initializer_list<std::uint8_t> bytes);

  static ByteArray Empty() { return ByteArray(std::vector<std::uint8_t>{}); }
  static ByteArray Marker();

  bool IsSet() const noexcept { return set_; }
  bool IsMarker() const noexcept { return set_ && lower_ == -1; }

  // Bounds; both throw SubscriptError when the array is unset.
  Index LBound() const;
  Index UBound() const;

  // The byte at `index`; SubscriptError outside LBound()..UBound().
  std::uint8_t At(Index index) const;

  // The bytes from index 0 to the upper bound: none for unset, empty and marker arrays.
  std::span<const std::uint8_t> Data() const noexcept;

  // Every element, the marker's own included.
  const std::vector<std::uint8_t>& Elements() const noexcept { return bytes_; }

  friend bool operator==(const ByteArray&, const ByteArray&) = default;

 private:
  std::vector<std::uint8_t> bytes_;
  Index lower_ = 0;
  bool set_ = false;
};

// For test failure messages: "unset", "{}" or "{41 00}", "marker" for the marker array.
std::ostream& operator<<(std::ostream& out, const ByteArray& array);

}  // namespace pagelift
