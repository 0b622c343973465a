#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/utf8_text.h"

namespace pagelift::bench {

// The text of a UTF-8 page kept with the sources; throws when it cannot be read.
inline std::u16string PageOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                        std::istreambuf_iterator<char>());
  if (bytes.empty()) throw std::runtime_error("cannot read " + path);
  return Utf8ToText(bytes);
}

}  // namespace pagelift::bench
