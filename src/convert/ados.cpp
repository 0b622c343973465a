#include "convert/ados.h"

#include <exception>

#include "base/codes.h"
#include "convert/charsets.h"
#include "convert/codec.h"

namespace pagelift {

namespace {

std::string CharsetOf(Code code) {
  return std::string(FactsOf(code).charset);
}

}  // namespace

ByteArray ADOS_VbUnicode_To_Charset(const std::string& charset, const std::u16string& text) {
  try {
    const std::optional<Charset> known = CharsetNamed(charset);
    return ByteArray(known ? Encode(*known, text) : EncodeByName(charset.c_str(), text));
  } catch (const std::exception&) {
    return ByteArray::Empty();
  }
}

std::u16string ADOS_Charset_To_VbUnicode(const std::string& charset, const ByteArray& bytes) {
  try {
    // Only the elements from index 0 are text: an unset array and the marker array of a
    // page that held nothing but its mark decode to nothing.
    const std::optional<Charset> known = CharsetNamed(charset);
    return known ? Decode(*known, bytes.Data()) : DecodeByName(charset.c_str(), bytes.Data());
  } catch (const std::exception&) {
    return {};
  }
}

ByteArray ADOS_VbUnicode_To_SJIS(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset(CharsetOf(Code::kSJIS), text);
}
std::u16string ADOS_SJIS_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode(CharsetOf(Code::kSJIS), bytes);
}
ByteArray ADOS_VbUnicode_To_JIS(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset(CharsetOf(Code::kJIS), text);
}
std::u16string ADOS_JIS_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode(CharsetOf(Code::kJIS), bytes);
}
ByteArray ADOS_VbUnicode_To_EUC(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset(CharsetOf(Code::kEUC), text);
}
std::u16string ADOS_EUC_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode(CharsetOf(Code::kEUC), bytes);
}
ByteArray ADOS_VbUnicode_To_UTF7(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset(CharsetOf(Code::kUTF7), text);
}
std::u16string ADOS_UTF7_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode(CharsetOf(Code::kUTF7), bytes);
}
ByteArray ADOS_VbUnicode_To_UTF8(const std::u16string& text) {
  return ADOS_VbUnicode_To_Charset(CharsetOf(Code::kUTF8), text);
}
std::u16string ADOS_UTF8_To_VbUnicode(const ByteArray& bytes) {
  return ADOS_Charset_To_VbUnicode(CharsetOf(Code::kUTF8), bytes);
}

}  // namespace pagelift
