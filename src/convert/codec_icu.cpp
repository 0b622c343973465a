// Off Windows, ICU converts; its tables need three adjustments to read and write the
// charsets as Japanese pages use them, all made here.
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "convert/codec.h"
#include "convert/shift_jis_table.h"

namespace pagelift {

namespace {

const char* IcuName(Charset charset) {
  switch (charset) {
    case Charset::kShiftJis:
      return "windows-31j";
    case Charset::kIso2022Jp:
      return "ISO-2022-JP-1";  // the plain ISO-2022-JP converter refuses JIS X 0212
    case Charset::kIso2022JpWindows:
      return "ISO-2022-JP";
    case Charset::kEucJp:
      return "EUC-JP";
    case Charset::kUtf7:
      return "UTF-7";
    case Charset::kUtf8:
      return "UTF-8";
  }
  return "UTF-8";
}

bool IsIso2022Jp(Charset charset) {
  return charset == Charset::kIso2022Jp || charset == Charset::kIso2022JpWindows;
}

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

UConverter* Open(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name, &error);
  Check(error, "cannot open the converter");
  ucnv_setToUCallBack(converter, WriteReplacementCharacter, nullptr, nullptr, nullptr, &error);
  if (U_SUCCESS(error)) ucnv_setSubstChars(converter, "?", 1, &error);
  if (U_FAILURE(error)) ucnv_close(converter);
  Check(error, "cannot set the converter up");
  return converter;
}

// ICU's Windows Shift_JIS table swaps three controls (see RestoreShiftJisControl). None
// of these bytes is ever part of a double-byte character, so they can be put right one
// for one after the conversion, and only texts that hold one need the extra pass.
bool HasSwappedControls(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return false;
  for (std::uint8_t control : {0x1A, 0x1C, 0x7F}) {
    if (std::memchr(bytes.data(), control, bytes.size()) != nullptr) return true;
  }
  return false;
}

void RestoreShiftJisControls(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& byte : bytes) {
    switch (byte) {
      case 0x1A:
        byte = 0x1C;
        break;
      case 0x1C:
        byte = 0x7F;
        break;
      case 0x7F:
        byte = 0x1A;
        break;
      default:
        break;
    }
  }
}

constexpr std::array<std::uint8_t, 3> kShortJisX0212 = {0x1B, 0x24, 0x44};  // ESC $ D

// The number of bytes at the end of `bytes` that begin ESC $ D without finishing it.
std::size_t OpenShortJisX0212(std::span<const std::uint8_t> bytes) {
  if (!bytes.empty() && bytes.back() == 0x1B) return 1;
  if (bytes.size() >= 2 && bytes[bytes.size() - 2] == 0x1B && bytes.back() == 0x24) return 2;
  return 0;
}

// `bytes` with ESC $ ( D for every ESC $ D.
void WriteLongJisX0212(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out) {
  out.reserve(out.size() + bytes.size() + bytes.size() / 16 + 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == 0x1B && bytes.size() - i >= 3 && bytes[i + 1] == 0x24 && bytes[i + 2] == 0x44) {
      out.push_back(0x24);
      out.push_back(0x28);
      ++i;  // the $ was written; the D follows on the next turn
    }
  }
}

bool IsHalfwidthKatakana(char16_t c) {
  return c >= 0xFF61 && c <= 0xFF9F;
}

constexpr std::array<std::uint8_t, 3> kToAscii = {0x1B, 0x28, 0x42};     // ESC ( B
constexpr std::array<std::uint8_t, 3> kToKatakana = {0x1B, 0x28, 0x49};  // ESC ( I

bool EndsWith(const std::vector<std::uint8_t>& bytes, const std::array<std::uint8_t, 3>& tail) {
  return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - 3);
}

// Appends the bytes of `text` to `out` through `converter`, closing any shift state.
void EncodeThrough(UConverter* converter, std::u16string_view text,
                   std::vector<std::uint8_t>& out) {
  ucnv_resetFromUnicode(converter);
  const std::size_t per_unit = std::min<std::size_t>(ucnv_getMaxCharSize(converter), 3);
  const std::size_t start = out.size();
  out.resize(start + text.size() * per_unit + 16);
  const UChar* source = reinterpret_cast<const UChar*>(text.data());
  const UChar* const source_end = source + text.size();
  char* target = reinterpret_cast<char*>(out.data() + start);
  for (;;) {
    UErrorCode error = U_ZERO_ERROR;
    char* const target_end = reinterpret_cast<char*>(out.data() + out.size());
    ucnv_fromUnicode(converter, &target, target_end, &source, source_end, nullptr, true, &error);
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

// ICU either refuses half-width katakana in ISO-2022-JP or writes them with SO/SI or as
// 8-bit bytes; Japanese mail and pages use ESC ( I with 7-bit bytes, which every reader
// of the charset accepts. Runs of them are written here, the rest by ICU. Readers refuse
// an escape sequence followed at once by another, so none is written where the next
// one takes over.
void EncodeIso2022Jp(UConverter* converter, std::u16string_view text,
                     std::vector<std::uint8_t>& out) {
  std::vector<std::uint8_t> piece;
  bool in_katakana = false;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && !IsHalfwidthKatakana(text[j])) ++j;
    if (j > i) {
      piece.clear();
      EncodeThrough(converter, text.substr(i, j - i), piece);  // starts and ends in ASCII
      if (in_katakana && (piece.empty() || piece.front() != 0x1B))
        out.insert(out.end(), kToAscii.begin(), kToAscii.end());
      in_katakana = false;
      out.insert(out.end(), piece.begin(), piece.end());
      // ICU's closing ESC ( B, unless the text itself ended with those characters.
      const bool closed = EndsWith(piece, kToAscii) && !text.substr(i, j - i).ends_with(u"\x1B(B");
      if (j < text.size() && closed) out.resize(out.size() - kToAscii.size());
    }
    if (j == text.size()) break;
    out.insert(out.end(), kToKatakana.begin(), kToKatakana.end());
    for (; j < text.size() && IsHalfwidthKatakana(text[j]); ++j) {
      out.push_back(static_cast<std::uint8_t>(text[j] - 0xFF61 + 0x21));
    }
    in_katakana = true;
    i = j;
  }
  if (in_katakana) out.insert(out.end(), kToAscii.begin(), kToAscii.end());
}

// Appends ICU's text of `bytes` to `out`.
void DecodeThrough(UConverter* converter, std::span<const std::uint8_t> bytes, bool last,
                   std::u16string& out) {
  // ICU counts in 32 bits: a larger part goes in pieces it can count.
  constexpr std::size_t kMost = std::size_t{1} << 30;
  while (bytes.size() > kMost) {
    DecodeThrough(converter, bytes.first(kMost), false, out);
    bytes = bytes.subspan(kMost);
  }
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
    ucnv_toUnicode(converter, &target, target_end, &source, source_end, nullptr, last, &error);
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

}  // namespace

struct Codec::State {
  explicit State(Charset charset) : charset(charset), converter(Open(IcuName(charset))) {}
  ~State() { ucnv_close(converter); }

  // Appends ICU's text of the piece to `out`.
  void DecodePiece(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);
  // ICU's text of `bytes`, written to [target, limit).
  char16_t* DecodeTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                     char16_t* limit);

  Charset charset;
  UConverter* converter;
  std::vector<std::uint8_t> held;  // ISO-2022-JP: the end of a piece that may begin ESC $ D
  std::vector<std::uint8_t> patched;
};

void Codec::State::DecodePiece(std::span<const std::uint8_t> bytes, bool last,
                               std::u16string& out) {
  const std::size_t start = out.size();
  DecodeThrough(converter, bytes, last, out);
  if (charset == Charset::kShiftJis) {
    for (std::size_t i = start; i < out.size(); ++i) out[i] = RestoreShiftJisControl(out[i]);
  }
}

char16_t* Codec::State::DecodeTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                                 char16_t* limit) {
  const char* source = reinterpret_cast<const char*>(bytes.data());
  UChar* to = reinterpret_cast<UChar*>(target);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_toUnicode(converter, &to, reinterpret_cast<UChar*>(limit), &source, source + bytes.size(),
                 nullptr, last, &error);
  Check(error, "decoding failed");
  char16_t* const end = reinterpret_cast<char16_t*>(to);
  if (charset == Charset::kShiftJis) {
    for (char16_t* unit = target; unit < end; ++unit) *unit = RestoreShiftJisControl(*unit);
  }
  return end;
}

Codec::Codec(Charset charset) : state_(std::make_unique<State>(charset)) {}

Codec::~Codec() = default;

void Codec::DecodeInto(std::span<const std::uint8_t> bytes, std::u16string& out) {
  ucnv_resetToUnicode(state_->converter);
  state_->held.clear();
  DecodePartInto(bytes, true, out);
}

void Codec::DecodePartInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  State& s = *state_;
  if (!IsIso2022Jp(s.charset)) {
    s.DecodePiece(bytes, last, out);
    return;
  }
  // ESC $ D is an old short form of ESC $ ( D that ICU does not read: it is spelt out.
  // The bytes are copied only when they hold the short form, or a piece ends in the middle
  // of one.
  const bool has_short_form = std::search(bytes.begin(), bytes.end(), kShortJisX0212.begin(),
                                          kShortJisX0212.end()) != bytes.end();
  if (s.held.empty() && !has_short_form && (last || OpenShortJisX0212(bytes) == 0)) {
    s.DecodePiece(bytes, last, out);
    return;
  }
  // What may begin a short form at the end waits for the next piece.
  s.held.insert(s.held.end(), bytes.begin(), bytes.end());
  const std::size_t open = last ? 0 : OpenShortJisX0212(s.held);
  s.patched.clear();
  WriteLongJisX0212(std::span(s.held).first(s.held.size() - open), s.patched);
  s.held.erase(s.held.begin(), s.held.end() - static_cast<std::ptrdiff_t>(open));
  s.DecodePiece(s.patched, last, out);
}

char16_t* Codec::DecodePartTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                              char16_t* limit) {
  return state_->DecodeTo(bytes, last, target, limit);
}

void Codec::EncodeInto(std::u16string_view text, std::vector<std::uint8_t>& out) {
  const std::size_t start = out.size();
  if (IsIso2022Jp(state_->charset)) {
    EncodeIso2022Jp(state_->converter, text, out);
  } else {
    EncodeThrough(state_->converter, text, out);
  }
  const std::span<std::uint8_t> written = std::span(out).subspan(start);
  if (state_->charset == Charset::kShiftJis && HasSwappedControls(written)) {
    RestoreShiftJisControls(written);
  }
}

bool Codec::AsciiStandsAlone() const {
  return state_->charset == Charset::kEucJp || state_->charset == Charset::kUtf8;
}

std::u16string DecodeByName(const char* name, std::span<const std::uint8_t> bytes) {
  const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(Open(name), ucnv_close);
  std::u16string text;
  DecodeThrough(converter.get(), bytes, true, text);
  return text;
}

std::vector<std::uint8_t> EncodeByName(const char* name, std::u16string_view text) {
  const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(Open(name), ucnv_close);
  std::vector<std::uint8_t> bytes;
  EncodeThrough(converter.get(), text, bytes);
  return bytes;
}

}  // namespace pagelift
