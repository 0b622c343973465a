#include "convert/code_choice.h"

#include "base/errors.h"
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

Code CodeNamed(std::u16string_view code_name) {
  if (code_name == u"SJIS") return Code::kSJIS;
  if (code_name == u"JIS") return Code::kJIS;
  if (code_name == u"EUC") return Code::kEUC;
  if (code_name == u"UNICODE") return Code::kUNICODE;
  if (code_name == u"UTF7" || code_name == u"UTF-7") return Code::kUTF7;
  if (code_name == u"UTF8" || code_name == u"UTF-8") return Code::kUTF8;
  return Code::kSJIS;
}

std::u16string DecodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                                const ByteArray& bytes) {
  switch (CodeNamed(code_name)) {
    case Code::kSJIS:
      return codes.SJIS_To_VbUnicode(bytes);
    case Code::kJIS:
      return codes.JIS_To_VbUnicode(bytes);
    case Code::kEUC:
      return codes.EUC_To_VbUnicode(bytes);
    case Code::kUNICODE:
      return codes.UNICODE_To_VbUnicode(bytes);
    case Code::kUTF7:
      return codes.UTF7_To_VbUnicode(bytes);
    case Code::kUTF8:
      return codes.UTF8_To_VbUnicode(bytes);
  }
  return codes.SJIS_To_VbUnicode(bytes);
}

ByteArray EncodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                           const std::u16string& text, bool BOMflag) {
  switch (CodeNamed(code_name)) {
    case Code::kSJIS:
      return codes.VbUnicode_To_SJIS(text);
    case Code::kJIS:
      return codes.VbUnicode_To_JIS(text);
    case Code::kEUC:
      return codes.VbUnicode_To_EUC(text);
    case Code::kUNICODE:
      return codes.VbUnicode_To_UNICODE(text, BOMflag);
    case Code::kUTF7:
      return codes.VbUnicode_To_UTF7(text);
    case Code::kUTF8:
      return codes.VbUnicode_To_UTF8(text, BOMflag);
  }
  return codes.VbUnicode_To_SJIS(text);
}

}  // namespace pagelift
