#include "shell/cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>

namespace pagelift {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// "windows-31j" is the table Windows uses for code page 932: 5C and 7E stay ASCII and
// the NEC and IBM rows decode.
Converter OpenCp932() {
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open("windows-31j", &error));
  if (U_FAILURE(error)) return nullptr;
  return converter;
}

// ICU's own substitution gives U+001A for some bad bytes, which cannot be told from a
// real 1A byte; U+FFFD can.
void WriteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                               UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
  static constexpr UChar kReplacement = 0xFFFD;
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, error);
}

// Opening a converter costs more than most conversions here (the names of a settings
// file are a few bytes each), so each thread keeps one for each direction.
UConverter* Decoder() {
  thread_local const Converter converter = [] {
    Converter opened = OpenCp932();
    UErrorCode error = U_ZERO_ERROR;
    if (opened) {
      ucnv_setToUCallBack(opened.get(), WriteReplacementCharacter, nullptr, nullptr, nullptr,
                          &error);
    }
    return opened;
  }();
  if (converter) ucnv_resetToUnicode(converter.get());
  return converter.get();
}

UConverter* Encoder() {
  thread_local const Converter converter = [] {
    Converter opened = OpenCp932();
    UErrorCode error = U_ZERO_ERROR;
    if (opened) ucnv_setSubstChars(opened.get(), "?", 1, &error);
    return opened;
  }();
  if (converter) ucnv_resetFromUnicode(converter.get());
  return converter.get();
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes, bool complete) {
  UConverter* converter = Decoder();
  if (!converter) return {};
  // One byte never gives more than one UTF-16 unit.
  std::u16string text(bytes.size() + 1, u'\0');
  const char* source = bytes.data();
  UChar* target = text.data();
  UErrorCode error = U_ZERO_ERROR;
  ucnv_toUnicode(converter, &target, text.data() + text.size(), &source,
                 bytes.data() + bytes.size(), nullptr, complete, &error);
  if (U_FAILURE(error)) return {};
  text.resize(static_cast<std::size_t>(target - text.data()));
  return text;
}

std::string EncodeCp932(std::u16string_view text) {
  UConverter* converter = Encoder();
  if (!converter) return {};
  // No character takes more than two bytes.
  std::string bytes(text.size() * 2 + 1, '\0');
  const UChar* source = text.data();
  char* target = bytes.data();
  UErrorCode error = U_ZERO_ERROR;
  ucnv_fromUnicode(converter, &target, bytes.data() + bytes.size(), &source,
                   text.data() + text.size(), nullptr, true, &error);
  if (U_FAILURE(error)) return {};
  bytes.resize(static_cast<std::size_t>(target - bytes.data()));
  return bytes;
}

}  // namespace pagelift
