#include "convert/code_choice.h"

#include "base/errors.h"
#include "convert/bom.h"
#include "judge/judge_page.h"

namespace pagelift {

namespace {

ByteArray Utf16BeMark() {
  return ByteArray(std::vector(std::begin(kUtf16BeMark), std::end(kUtf16BeMark)));
}

// As the UNICODE member reads, with the high byte of each unit first: every mark cut, an
// odd last byte forming nothing.
std::u16string Utf16BeToText(const ByteArray& bytes) {
  const ByteArray cut = CutBOM(bytes, Utf16BeMark());
  const std::span<const std::uint8_t> data = cut.Data();  // none for the marker array
  std::u16string text(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] << 8 | data[2 * i + 1]);
  }
  return text;
}

ByteArray TextToUtf16Be(const std::u16string& text, bool BOMflag) {
  std::vector<std::uint8_t> bytes(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i] >> 8);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] & 0xFF);
  }
  ByteArray result(std::move(bytes));
  return BOMflag ? AddBOM(result, Utf16BeMark()) : result;
}

}  // namespace

Code CodeForChoice(CodeChoice choice, const ByteArray& bytes) {
  if (choice) return *choice;
  try {
    return CodeJudged(JudgePage(bytes));
  } catch (const Error&) {
    return Code::kSJIS;
  }
}

Code CodeForChoice(CodeChoice choice, std::span<const std::uint8_t> bytes) {
  if (choice) return *choice;
  try {
    return CodeJudged(JudgePageInDetail(bytes).code);
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
    case Code::kUTF16BE:
      return Utf16BeToText(bytes);
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
    case Code::kUTF16BE:
      return TextToUtf16Be(text, BOMflag);
  }
  return codes.VbUnicode_To_SJIS(text);
}

}  // namespace pagelift
