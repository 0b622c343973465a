#pragma once

#include <cstdint>
#include <string>

#include "base/byte_array.h"
#include "base/modal_message.h"

namespace pagelift {

// Names and converts the character codes of Japanese pages. Mode 0 (the default) converts
// through the stream back end, mode 1 through the code-page back end; UTF-16 needs
// neither. Members trap nothing: SubscriptError, OverflowError and the judgement's
// errors reach the caller.
class NonCodeClass {
 public:
  // `message` shows the code-page back end's EUC message.
  explicit NonCodeClass(ModalMessage message = {}) : message_(std::move(message)) {}

  std::int32_t FuncRogic() const { return mode_; }
  // OverflowError outside the 16-bit range (the mode stays); any value but 0 and 1 is 0.
  void FuncRogic(std::int32_t mode);

  // "SJIS", "JIS", "EUC", "UNICODE", "UTF7" or "UTF8".
  std::u16string GetCodeName(const ByteArray& bytCode) const;

  std::u16string UNICODE_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_UNICODE(const std::u16string& strUni, bool BOMflag) const;
  std::u16string SJIS_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_SJIS(const std::u16string& strUni) const;
  std::u16string JIS_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_JIS(const std::u16string& strUni) const;
  std::u16string EUC_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_EUC(const std::u16string& strUni) const;
  std::u16string UTF7_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_UTF7(const std::u16string& strUni) const;
  std::u16string UTF8_To_VbUnicode(const ByteArray& bytCode) const;
  ByteArray VbUnicode_To_UTF8(const std::u16string& strUni, bool BOMflag) const;

  ByteArray CutBOM(const ByteArray& bytCode, const ByteArray& BOM) const;
  ByteArray AddBOM(const ByteArray& bytCode, const ByteArray& BOM) const;
  std::u16string CheckCrLf(const std::u16string& strUni) const;
  std::u16string ChangeCrLfToLf(const std::u16string& strUni) const;
  std::u16string ChangeLfToCrLf(const std::u16string& strUni) const;

 private:
  bool UsesStreamBackEnd() const { return mode_ == 0; }

  std::int16_t mode_ = 0;
  ModalMessage message_;
};

}  // namespace pagelift
