#include "convert/wcmb.h"

#include <exception>

#include "base/codes.h"
#include "convert/code_pages.h"

namespace pagelift {

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
  return WCMB_VbUnicode_To_CodePage(FactsOf(Code::kSJIS).code_page, text);
}
std::u16string WCMB_SJIS_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(FactsOf(Code::kSJIS).code_page, bytes);
}
ByteArray WCMB_VbUnicode_To_JIS(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(FactsOf(Code::kJIS).code_page, text);
}
std::u16string WCMB_JIS_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(FactsOf(Code::kJIS).code_page, bytes);
}
ByteArray WCMB_VbUnicode_To_UTF7(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(FactsOf(Code::kUTF7).code_page, text);
}
std::u16string WCMB_UTF7_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(FactsOf(Code::kUTF7).code_page, bytes);
}
ByteArray WCMB_VbUnicode_To_UTF8(const std::u16string& text) {
  return WCMB_VbUnicode_To_CodePage(FactsOf(Code::kUTF8).code_page, text);
}
std::u16string WCMB_UTF8_To_VbUnicode(const ByteArray& bytes) {
  return WCMB_CodePage_To_VbUnicode(FactsOf(Code::kUTF8).code_page, bytes);
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
