#pragma once

#include <string>

#include "base/byte_array.h"

namespace pagelift {

// The stream back end: converts by charset name. Raises nothing; a failure gives an
// empty text or an empty array. Encoded bytes never start with a byte-order mark.
ByteArray ADOS_VbUnicode_To_Charset(const std::string& charset, const std::u16string& text);
std::u16string ADOS_Charset_To_VbUnicode(const std::string& charset, const ByteArray& bytes);

ByteArray ADOS_VbUnicode_To_SJIS(const std::u16string& text);
std::u16string ADOS_SJIS_To_VbUnicode(const ByteArray& bytes);
ByteArray ADOS_VbUnicode_To_JIS(const std::u16string& text);
std::u16string ADOS_JIS_To_VbUnicode(const ByteArray& bytes);
ByteArray ADOS_VbUnicode_To_EUC(const std::u16string& text);
std::u16string ADOS_EUC_To_VbUnicode(const ByteArray& bytes);
ByteArray ADOS_VbUnicode_To_UTF7(const std::u16string& text);
std::u16string ADOS_UTF7_To_VbUnicode(const ByteArray& bytes);
ByteArray ADOS_VbUnicode_To_UTF8(const std::u16string& text);
std::u16string ADOS_UTF8_To_VbUnicode(const ByteArray& bytes);

}  // namespace pagelift
