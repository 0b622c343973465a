#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/column_width.h"

namespace pagelift::fuzz {

// The input's bytes, two at a time, as UTF-16 code units.
inline std::u16string Utf16Of(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  return text;
}

// The lines of folded text, split at CR LF; the text must end with one.
inline std::vector<std::u16string> FoldedLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos;
       start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

inline bool IsOneCharacter(const std::u16string& line) {
  return line.size() == 1 || (line.size() == 2 && line[0] >= 0xD800 && line[0] <= 0xDBFF &&
                              line[1] >= 0xDC00 && line[1] <= 0xDFFF);
}

inline long Columns(const std::u16string& line) {
  long columns = 0;
  for (char16_t c : line) columns += ColumnWidth(c);
  return columns;
}

}  // namespace pagelift::fuzz
