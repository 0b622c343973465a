#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_array.h"

namespace pagelift::test {

// "41 82 A0" -> {0x41, 0x82, 0xA0}; blanks between bytes are optional.
inline std::vector<std::uint8_t> Hex(std::string_view text) {
  std::vector<std::uint8_t> out;
  std::string digits;
  for (char c : text) {
    if (c == ' ') continue;
    digits.push_back(c);
    if (digits.size() == 2) {
      out.push_back(static_cast<std::uint8_t>(std::stoi(digits, nullptr, 16)));
      digits.clear();
    }
  }
  return out;
}

inline ByteArray HexArray(std::string_view text) {
  return ByteArray(Hex(text));
}

// `count` copies of `unit`.
inline std::vector<std::uint8_t> Repeat(const std::vector<std::uint8_t>& unit, std::size_t count) {
  std::vector<std::uint8_t> out;
  out.reserve(unit.size() * count);
  for (std::size_t i = 0; i < count; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

}  // namespace pagelift::test
