#include <windows.h>

#include "base/errors.h"
#include "convert/utf8_units.h"

namespace pagelift {

const bool kUtf8UnitsAsConverter = false;

// Both functions write U+FFFD for what they cannot read.
char16_t* Utf8ToUnits(const std::uint8_t* bytes, std::size_t size, char16_t* to) {
  if (size == 0) return to;
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size),
                          reinterpret_cast<wchar_t*>(to), static_cast<int>(size));
  if (length == 0) throw Error("UTF-8 conversion failed: " + std::to_string(GetLastError()));
  return to + length;
}

char* UnitsToUtf8(const char16_t* units, std::size_t size, char* to, std::size_t room) {
  if (size == 0) return to;
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(units),
                          static_cast<int>(size), to, static_cast<int>(room), nullptr, nullptr);
  if (length == 0) throw Error("UTF-8 conversion failed: " + std::to_string(GetLastError()));
  return to + length;
}

}  // namespace pagelift
