#pragma once

#include <cstddef>
#include <string_view>

namespace pagelift::html {

struct NamedEntity {
  std::string_view name;  // without the "&"; ends with ";" where the name has one
  char32_t first;
  char32_t second;  // 0 when the name stands for one code point
};

// The length of the longest name in the table, ";" included.
inline constexpr std::size_t kLongestEntityName = 32;

// The longest name of the table that [at, end) starts with, and its length in `length`;
// nullptr when none does.
const NamedEntity* LongestNamedEntity(const char16_t* at, const char16_t* end, std::size_t& length);

}  // namespace pagelift::html
