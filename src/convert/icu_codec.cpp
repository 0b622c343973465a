#include "convert/icu_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <string>

#include "base/errors.h"

namespace pagelift {

namespace {

// ICU's Japanese tables turn a bad byte into U+001A, which cannot be told from a real
// 0x1A; U+FFFD shows the reader where the page was damaged.
void WriteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                               UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to replace
  static const UChar kReplacement = 0xFFFD;
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, error);
}

void Check(UErrorCode error, const char* what) {
  if (U_FAILURE(error)) throw Error(std::string(what) + ": " + u_errorName(error));
}

}  // namespace

IcuCodec::IcuCodec(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  converter_ = ucnv_open(name, &error);
  Check(error, "cannot open the converter");
  ucnv_setToUCallBack(converter_, WriteReplacementCharacter, nullptr, nullptr, nullptr, &error);
  Check(error, "cannot set the decoding callback");
  ucnv_setSubstChars(converter_, "?", 1, &error);
  Check(error, "cannot set the substitution character");
}

IcuCodec::~IcuCodec() {
  ucnv_close(converter_);
}

void IcuCodec::DecodeInto(std::span<const std::uint8_t> bytes, std::u16string& out) {
  ucnv_resetToUnicode(converter_);
  DecodePartInto(bytes, true, out);
}

void IcuCodec::DecodePartInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  // ICU counts in 32 bits: a larger part goes in pieces it can count.
  constexpr std::size_t kMost = std::size_t{1} << 30;
  while (bytes.size() > kMost) {
    DecodePieceInto(bytes.first(kMost), false, out);
    bytes = bytes.subspan(kMost);
  }
  DecodePieceInto(bytes, last, out);
}

void IcuCodec::DecodePieceInto(std::span<const std::uint8_t> bytes, bool last,
                               std::u16string& out) {
  // None of our charsets gives more than one UTF-16 unit per byte, so one allocation
  // normally suffices; the loop only guards against a converter that does.
  const std::size_t start = out.size();
  out.resize(start + bytes.size() + 16);
  const char* source = reinterpret_cast<const char*>(bytes.data());
  const char* const source_end = source + bytes.size();
  UChar* target = reinterpret_cast<UChar*>(out.data() + start);
  for (;;) {
    UErrorCode error = U_ZERO_ERROR;
    UChar* const target_end = reinterpret_cast<UChar*>(out.data() + out.size());
    ucnv_toUnicode(converter_, &target, target_end, &source, source_end, nullptr, last, &error);
    const std::size_t used =
        static_cast<std::size_t>(target - reinterpret_cast<UChar*>(out.data()));
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(out.size() * 2);
      target = reinterpret_cast<UChar*>(out.data() + used);
      continue;
    }
    Check(error, "decoding failed");
    out.resize(used);
    return;
  }
}

char16_t* IcuCodec::DecodePartTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                                 char16_t* limit) {
  const char* source = reinterpret_cast<const char*>(bytes.data());
  UChar* to = reinterpret_cast<UChar*>(target);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_toUnicode(converter_, &to, reinterpret_cast<UChar*>(limit), &source, source + bytes.size(),
                 nullptr, last, &error);
  Check(error, "decoding failed");
  return reinterpret_cast<char16_t*>(to);
}

void IcuCodec::EncodeInto(std::u16string_view text, std::vector<std::uint8_t>& out) {
  ucnv_resetFromUnicode(converter_);
  const std::size_t per_unit = std::min<std::size_t>(ucnv_getMaxCharSize(converter_), 3);
  const std::size_t start = out.size();
  out.resize(start + text.size() * per_unit + 16);
  const UChar* source = reinterpret_cast<const UChar*>(text.data());
  const UChar* const source_end = source + text.size();
  char* target = reinterpret_cast<char*>(out.data() + start);
  for (;;) {
    UErrorCode error = U_ZERO_ERROR;
    char* const target_end = reinterpret_cast<char*>(out.data() + out.size());
    ucnv_fromUnicode(converter_, &target, target_end, &source, source_end, nullptr, true, &error);
    const std::size_t used = static_cast<std::size_t>(target - reinterpret_cast<char*>(out.data()));
    if (error == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(out.size() * 2);
      target = reinterpret_cast<char*>(out.data() + used);
      continue;
    }
    Check(error, "encoding failed");
    out.resize(used);
    return;
  }
}

}  // namespace pagelift
