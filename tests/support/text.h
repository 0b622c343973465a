#pragma once

#include <cstdio>
#include <string>

namespace pagelift::test {

// Text for failure messages: CR, LF and tab as \r, \n, \t, other controls and non-ASCII as
// \uXXXX, so that a wrong line end or a lost character shows.
inline std::string Shown(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

}  // namespace pagelift::test
