#pragma once

#include <cstdint>
#include <string>

#include "base/byte_array.h"
#include "base/modal_message.h"

namespace pagelift {

// The code-page back end: Windows code pages 932 (Shift_JIS), 50221 (ISO-2022-JP with
// half-width katakana), 65000 (UTF-7) and 65001 (UTF-8). Raises nothing: an empty text
// or a failure gives an unset array; an unset, empty or marker array, or a failure,
// gives an empty text.
ByteArray WCMB_VbUnicode_To_CodePage(std::int32_t code_page, const std::u16string& text);
std::u16string WCMB_CodePage_To_VbUnicode(std::int32_t code_page, const ByteArray& bytes);

ByteArray WCMB_VbUnicode_To_SJIS(const std::u16string& text);
std::u16string WCMB_SJIS_To_VbUnicode(const ByteArray& bytes);
ByteArray WCMB_VbUnicode_To_JIS(const std::u16string& text);
std::u16string WCMB_JIS_To_VbUnicode(const ByteArray& bytes);
ByteArray WCMB_VbUnicode_To_UTF7(const std::u16string& text);
std::u16string WCMB_UTF7_To_VbUnicode(const ByteArray& bytes);
ByteArray WCMB_VbUnicode_To_UTF8(const std::u16string& text);
std::u16string WCMB_UTF8_To_VbUnicode(const ByteArray& bytes);

// This back end has no EUC-JP: both show the message "EUCはサポートされていません" through
// `message` and give the empty result of their direction.
ByteArray WCMB_VbUnicode_To_EUC(const std::u16string& text, const ModalMessage& message);
std::u16string WCMB_EUC_To_VbUnicode(const ByteArray& bytes, const ModalMessage& message);

inline constexpr char16_t kEucNotSupported[] = u"EUCはサポートされていません";

}  // namespace pagelift
