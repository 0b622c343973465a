// Windows converts by code page itself: MultiByteToWideChar and WideCharToMultiByte,
// best fit and all.
#include <windows.h>

#include <limits>
#include <stdexcept>

#include "convert/code_pages.h"

namespace pagelift {

namespace {

// Both functions count in int.
int LengthOf(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("too long for the code page functions");
  }
  return static_cast<int>(size);
}

}  // namespace

std::vector<std::uint8_t> TextToCodePage(std::int32_t code_page, std::u16string_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16");
  const auto* units = reinterpret_cast<const wchar_t*>(text.data());
  const int length = LengthOf(text.size());
  const int size = WideCharToMultiByte(static_cast<UINT>(code_page), 0, units, length, nullptr, 0,
                                       nullptr, nullptr);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
  if (size > 0) {
    WideCharToMultiByte(static_cast<UINT>(code_page), 0, units, length,
                        reinterpret_cast<char*>(bytes.data()), size, nullptr, nullptr);
  }
  return bytes;
}

std::u16string CodePageToText(std::int32_t code_page, std::span<const std::uint8_t> bytes) {
  const auto* source = reinterpret_cast<const char*>(bytes.data());
  const int length = LengthOf(bytes.size());
  const int size = MultiByteToWideChar(static_cast<UINT>(code_page), 0, source, length, nullptr, 0);
  std::u16string text(static_cast<std::size_t>(size > 0 ? size : 0), u'\0');
  if (size > 0) {
    MultiByteToWideChar(static_cast<UINT>(code_page), 0, source, length,
                        reinterpret_cast<wchar_t*>(text.data()), size);
  }
  return text;
}

}  // namespace pagelift
