#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace pagelift::test {

// A parameterised test's name made of `words`: letters and digits kept, every other run of
// characters one "_", none at either end, as a test name may hold nothing else.
inline std::string NameOf(std::string_view words) {
  std::string name;
  for (const char c : words) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  if (!name.empty() && name.back() == '_') name.pop_back();
  return name;
}

}  // namespace pagelift::test
