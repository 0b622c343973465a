#include "convert/non_code_class.h"

#include <limits>

#include "base/errors.h"
#include "convert/ados.h"
#include "convert/bom.h"
#include "convert/line_ends.h"
#include "convert/wcmb.h"
#include "judge/judges.h"

namespace pagelift {

namespace {

ByteArray MarkOf(Code code) {
  const std::span<const std::uint8_t> mark = FactsOf(code).mark;
  return ByteArray(std::vector(mark.begin(), mark.end()));
}
ByteArray Utf16Mark() {
  return MarkOf(Code::kUNICODE);
}
ByteArray Utf8Mark() {
  return MarkOf(Code::kUTF8);
}

}  // namespace

void NonCodeClass::FuncRogic(std::int32_t mode) {
  if (mode < std::numeric_limits<std::int16_t>::min() ||
      mode > std::numeric_limits<std::int16_t>::max()) {
    throw OverflowError("overflow: conversion mode " + std::to_string(mode));
  }
  mode_ = (mode == 0 || mode == 1) ? static_cast<std::int16_t>(mode) : 0;
}

std::u16string NonCodeClass::GetCodeName(const ByteArray& bytCode) const {
  const std::string name = JudgeCode(bytCode);
  return std::u16string(name.begin(), name.end());
}

std::u16string NonCodeClass::UNICODE_To_VbUnicode(const ByteArray& bytCode) const {
  const ByteArray cut = CutBOM(bytCode, Utf16Mark());
  const std::span<const std::uint8_t> bytes = cut.Data();  // none for the marker array
  std::u16string text(bytes.size() / 2, u'\0');            // an odd last byte forms nothing
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return text;
}

ByteArray NonCodeClass::VbUnicode_To_UNICODE(const std::u16string& strUni, bool BOMflag) const {
  std::vector<std::uint8_t> bytes(strUni.size() * 2);
  for (std::size_t i = 0; i < strUni.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(strUni[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(strUni[i] >> 8);
  }
  ByteArray result(std::move(bytes));
  return BOMflag ? AddBOM(result, Utf16Mark()) : result;
}

std::u16string NonCodeClass::SJIS_To_VbUnicode(const ByteArray& bytCode) const {
  return UsesStreamBackEnd() ? ADOS_SJIS_To_VbUnicode(bytCode) : WCMB_SJIS_To_VbUnicode(bytCode);
}

ByteArray NonCodeClass::VbUnicode_To_SJIS(const std::u16string& strUni) const {
  return UsesStreamBackEnd() ? ADOS_VbUnicode_To_SJIS(strUni) : WCMB_VbUnicode_To_SJIS(strUni);
}

std::u16string NonCodeClass::JIS_To_VbUnicode(const ByteArray& bytCode) const {
  return UsesStreamBackEnd() ? ADOS_JIS_To_VbUnicode(bytCode) : WCMB_JIS_To_VbUnicode(bytCode);
}

ByteArray NonCodeClass::VbUnicode_To_JIS(const std::u16string& strUni) const {
  return UsesStreamBackEnd() ? ADOS_VbUnicode_To_JIS(strUni) : WCMB_VbUnicode_To_JIS(strUni);
}

std::u16string NonCodeClass::EUC_To_VbUnicode(const ByteArray& bytCode) const {
  return UsesStreamBackEnd() ? ADOS_EUC_To_VbUnicode(bytCode)
                             : WCMB_EUC_To_VbUnicode(bytCode, message_);
}

ByteArray NonCodeClass::VbUnicode_To_EUC(const std::u16string& strUni) const {
  return UsesStreamBackEnd() ? ADOS_VbUnicode_To_EUC(strUni)
                             : WCMB_VbUnicode_To_EUC(strUni, message_);
}

std::u16string NonCodeClass::UTF7_To_VbUnicode(const ByteArray& bytCode) const {
  return UsesStreamBackEnd() ? ADOS_UTF7_To_VbUnicode(bytCode) : WCMB_UTF7_To_VbUnicode(bytCode);
}

ByteArray NonCodeClass::VbUnicode_To_UTF7(const std::u16string& strUni) const {
  return UsesStreamBackEnd() ? ADOS_VbUnicode_To_UTF7(strUni) : WCMB_VbUnicode_To_UTF7(strUni);
}

std::u16string NonCodeClass::UTF8_To_VbUnicode(const ByteArray& bytCode) const {
  const ByteArray cut = CutBOM(bytCode, Utf8Mark());
  return UsesStreamBackEnd() ? ADOS_UTF8_To_VbUnicode(cut) : WCMB_UTF8_To_VbUnicode(cut);
}

ByteArray NonCodeClass::VbUnicode_To_UTF8(const std::u16string& strUni, bool BOMflag) const {
  const ByteArray bytes =
      UsesStreamBackEnd() ? ADOS_VbUnicode_To_UTF8(strUni) : WCMB_VbUnicode_To_UTF8(strUni);
  return BOMflag ? AddBOM(bytes, Utf8Mark()) : bytes;
}

ByteArray NonCodeClass::CutBOM(const ByteArray& bytCode, const ByteArray& BOM) const {
  return pagelift::CutBOM(bytCode, BOM);
}

ByteArray NonCodeClass::AddBOM(const ByteArray& bytCode, const ByteArray& BOM) const {
  return pagelift::AddBOM(bytCode, BOM);
}

std::u16string NonCodeClass::CheckCrLf(const std::u16string& strUni) const {
  return pagelift::CheckCrLf(strUni);
}

std::u16string NonCodeClass::ChangeCrLfToLf(const std::u16string& strUni) const {
  return pagelift::ChangeCrLfToLf(strUni);
}

std::u16string NonCodeClass::ChangeLfToCrLf(const std::u16string& strUni) const {
  return pagelift::ChangeLfToCrLf(strUni);
}

}  // namespace pagelift
