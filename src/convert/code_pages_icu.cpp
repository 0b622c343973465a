// Off Windows, ICU's converters stand in for the code pages, each chosen to behave as
// Windows' does, and code page 932 writes by Windows' best-fit table.
#include <optional>

#include "base/codes.h"
#include "convert/charsets.h"
#include "convert/code_page_932.h"
#include "convert/code_pages.h"

namespace pagelift {

namespace {

std::optional<Charset> CharsetOfCodePage(std::int32_t code_page) {
  switch (code_page) {
    case FactsOf(Code::kSJIS).code_page:
      return Charset::kShiftJis;
    case FactsOf(Code::kJIS).code_page:
      return Charset::kIso2022JpWindows;
    case FactsOf(Code::kUTF7).code_page:
      return Charset::kUtf7;
    case FactsOf(Code::kUTF8).code_page:
      return Charset::kUtf8;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::vector<std::uint8_t> TextToCodePage(std::int32_t code_page, std::u16string_view text) {
  if (code_page == FactsOf(Code::kSJIS).code_page) return EncodeCodePage932(text);
  const std::optional<Charset> charset = CharsetOfCodePage(code_page);
  return charset ? Encode(*charset, text) : std::vector<std::uint8_t>{};
}

std::u16string CodePageToText(std::int32_t code_page, std::span<const std::uint8_t> bytes) {
  const std::optional<Charset> charset = CharsetOfCodePage(code_page);
  return charset ? Decode(*charset, bytes) : std::u16string{};
}

}  // namespace pagelift
