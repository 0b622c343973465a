#include "convert/code_choice.h"

#include "base/errors.h"
#include "judge/judge_page.h"

namespace pagelift {

Code CodeForChoice(CodeChoice choice, const ByteArray& bytes) {
  if (choice) return *choice;
  try {
    return CodeJudged(JudgePage(bytes));
  } catch (const Error&) {
    return Code::kSJIS;
  }
}

std::u16string DecodeAsCode(const NonCodeClass& codes, Code code, const ByteArray& bytes) {
  switch (code) {
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

ByteArray EncodeAsCode(const NonCodeClass& codes, Code code, const std::u16string& text,
                       bool BOMflag) {
  switch (code) {
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
