#include "convert/wcmb.h"

#include <exception>
#include <optional>

#include "convert/charsets.h"
#include "convert/code_page_932.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace pagelift {

namespace {

constexpr std::int32_t kShiftJis = 932;
constexpr std::int32_t kIso2022Jp = 50221;
constexpr std::int32_t kUtf7 = 65000;
constexpr std::int32_t kUtf8 = 65001;

#ifndef _WIN32
// The converters that behave as Windows does for each code page it knows.
std::optional<Charset> CharsetOfCodePage(std::int32_t code_page) {
  switch (code_page) {
    case kShiftJis:
      return Charset::kShiftJis;
    case kIso2022Jp:
      return Charset::kIso2022JpWindows;
    case kUtf7:
      return Charset::kUtf7;
    case kUtf8:
      return Charset::kUtf8;
    default:
      return std::nullopt;
  }
}
#endif

std::vector<std::uint8_t> TextToCodePage(std::int32_t code_page, const std::u16string& text) {
#ifdef _WIN32
  const auto* units = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(code_page, 0, units, length, nullptr, 0, nullptr, nullptr);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0) {
    WideCharToMultiByte(code_page, 0, units, length, reinterpret_cast<char*>(bytes.data()), size,
                        nullptr, nullptr);
  }
  return bytes;
#else
  if (code_page == kShiftJis) return EncodeCodePage932(text);
  const std::optional<Charset> charset = CharsetOfCodePage(code_page);
  return charset ? Encode(*charset, text) : std::vector<std::uint8_t>{};
#endif
}

std::u16string CodePageToText(std::int32_t code_page, std::span<const std::uint8_t> bytes) {
#ifdef _WIN32
  const auto* source = reinterpret_cast<const char*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(code_page, 0, source, length, nullptr, 0);
  std::u16string text(static_cast<std::size_t>(size), u'\0');
  if (size > 0) {
    MultiByteToWideChar(code_page, 0, source, length, reinterpret_cast<wchar_t*>(text.data()),
                        size);
  }
  return text;
#else
  const std::optional<Charset> charset = CharsetOfCodePage(code_page);
  return charset ? Decode(*charset, bytes) : std::u16string{};
#endif
}

}  // namespace

ByteArray WCMB_VbUnicode_To_CodePage(std::int32_t code_page, const std::u16string& text) {
  if (text.empty()) return ByteArray();
  try {
    std::vector<std::uint8_t> bytes = TextToCodePage(code_page, text);
    if (bytes.empty()) return ByteArray();  // the platform reports no output as failure
    return ByteArray(std::move(bytes));
  } catch (const std::exception&) {
    return ByteArray();
  }
}

std::u16string WCMB_CodePage_To_VbUnicode(std::int32_t code_page, const ByteArray& bytes) {
  // Unset, empty and marker arrays have no element at index 0: nothing to convert.
  if (bytes.Data().empty()) return {};
  try {
    return CodePageToText(code_page, bytes.Data());
  } catch (const std::exception&) {
    return {};
  }
}

ByteArray WCMB_VbUnicode_To_SJIS(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(kShiftJis, text);
}
std::u16string WCMB_SJIS_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(kShiftJis, bytes);
}
ByteArray WCMB_VbUnicode_To_JIS(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(kIso2022Jp, text);
}
std::u16string WCMB_JIS_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(kIso2022Jp, bytes);
}
ByteArray WCMB_VbUnicode_To_UTF7(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(kUtf7, text);
}
std::u16string WCMB_UTF7_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(kUtf7, bytes);
}
ByteArray WCMB_VbUnicode_To_UTF8(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(kUtf8, text);
}
std::u16string WCMB_UTF8_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(kUtf8, bytes);
}

namespace {

void ShowEucNotSupported(const ModalMessage& message) {
  if (!message) return;
  try {
    message(kEucNotSupported);
  } catch (const std::exception&) {
    // A message that could not be shown changes nothing about the empty result.
  }
}

}  // namespace

ByteArray WCMB_VbUnicode_To_EUC(const std::u16string&, const ModalMessage& message) {
  ShowEucNotSupported(message);
  return ByteArray();
}

std::u16string WCMB_EUC_To_VbUnicode(const ByteArray&, const ModalMessage& message) {
  ShowEucNotSupported(message);
  return {};
}

}  // namespace pagelift
