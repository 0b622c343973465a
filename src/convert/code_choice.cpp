#include "convert/code_choice.h"

#include "judge/errors.h"
#include "judge/judge_page.h"

namespace pagelift {

std::u16string CodeNameForChoice(std::u16string_view choice, const ByteArray& bytes) {
  if (choice != kAutoCode) return std::u16string(choice);
  try {
    const std::string name = JudgePage(bytes);
    return std::u16string(name.begin(), name.end());
  } catch (const Error&) {
    return std::u16string(choice);
  }
}

std::u16string DecodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                                const ByteArray& bytes) {
  if (code_name == u"SJIS") return codes.SJIS_To_VbUnicode(bytes);
  if (code_name == u"JIS") return codes.JIS_To_VbUnicode(bytes);
  if (code_name == u"EUC") return codes.EUC_To_VbUnicode(bytes);
  if (code_name == u"UNICODE") return codes.UNICODE_To_VbUnicode(bytes);
  if (code_name == u"UTF7" || code_name == u"UTF-7") return codes.UTF7_To_VbUnicode(bytes);
  if (code_name == u"UTF8" || code_name == u"UTF-8") return codes.UTF8_To_VbUnicode(bytes);
  return codes.SJIS_To_VbUnicode(bytes);
}

ByteArray EncodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                           const std::u16string& text, bool BOMflag) {
  if (code_name == u"SJIS") return codes.VbUnicode_To_SJIS(text);
  if (code_name == u"JIS") return codes.VbUnicode_To_JIS(text);
  if (code_name == u"EUC") return codes.VbUnicode_To_EUC(text);
  if (code_name == u"UNICODE") return codes.VbUnicode_To_UNICODE(text, BOMflag);
  if (code_name == u"UTF7" || code_name == u"UTF-7") return codes.VbUnicode_To_UTF7(text);
  if (code_name == u"UTF8" || code_name == u"UTF-8") return codes.VbUnicode_To_UTF8(text, BOMflag);
  return codes.VbUnicode_To_SJIS(text);
}

}  // namespace pagelift
