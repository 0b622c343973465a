#include <windows.h>

#include "support/utf8_reference.h"

namespace pagelift::test {

bool ConverterReadsWellFormed(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return true;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                             reinterpret_cast<const char*>(bytes.data()),
                             static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

std::u16string ConverterText(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  if (bytes.empty()) return text;
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                          reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string ConverterUtf8(std::u16string_view text) {
  std::string bytes(text.size() * 3, '\0');
  if (text.empty()) return bytes;
  const int length = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                         static_cast<int>(text.size()), bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

}  // namespace pagelift::test
