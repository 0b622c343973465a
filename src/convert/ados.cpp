#include "convert/ados.h"

#include <exception>

#include "convert/charsets.h"

namespace pagelift {

ByteArray ADOS_VbUnicode_To_Charset(const std::string& charset, const std::u16string& text) {
  try {
    const std::optional<Charset> known = CharsetNamed(charset);
    return ByteArray(known ? Encode(*known, text) : EncodeByIcuName(charset.c_str(), text));
  } catch (const std::exception&) {
    return ByteArray::Empty();
  }
}

std::u16string ADOS_Charset_To_VbUnicode(const std::string& charset, const ByteArray& bytes) {
  try {
    // Only the elements from index 0 are text: an unset array and the marker array of a
    // page that held nothing but its mark decode to nothing.
    const std::optional<Charset> known = CharsetNamed(charset);
    return known ? Decode(*known, bytes.Data()) : DecodeByIcuName(charset.c_str(), bytes.Data());
  } catch (const std::exception&) {
    return {};
  }
}

ByteArray ADOS_VbUnicode_To_SJIS(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset("Shift_JIS", text);
}
std::u16string ADOS_SJIS_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode("Shift_JIS", bytes);
}
ByteArray ADOS_VbUnicode_To_JIS(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset("ISO-2022-JP", text);
}
std::u16string ADOS_JIS_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode("ISO-2022-JP", bytes);
}
ByteArray ADOS_VbUnicode_To_EUC(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset("EUC-JP", text);
}
std::u16string ADOS_EUC_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode("EUC-JP", bytes);
}
ByteArray ADOS_VbUnicode_To_UTF7(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset("UTF-7", text);
}
std::u16string ADOS_UTF7_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode("UTF-7", bytes);
}
ByteArray ADOS_VbUnicode_To_UTF8(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset("UTF-8", text);
}
std::u16string ADOS_UTF8_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode("UTF-8", bytes);
}

}  // namespace pagelift
