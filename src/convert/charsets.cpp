#include "convert/charsets.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "convert/ascii_runs_decoder.h"
#include "convert/icu_codec.h"
#include "convert/shift_jis_decoder.h"

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

void RestoreShiftJisControls(std::vector<std::uint8_t>& bytes) {
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

// ICU either refuses half-width katakana in ISO-2022-JP or writes them with SO/SI or as
// 8-bit bytes; Japanese mail and pages use ESC ( I with 7-bit bytes, which every reader
// of the charset accepts. Runs of them are written here, the rest by ICU. Readers refuse
// an escape sequence followed at once by another, so none is written where the next
// one takes over.
void EncodeIso2022Jp(IcuCodec& codec, std::u16string_view text, std::vector<std::uint8_t>& out) {
  std::vector<std::uint8_t> piece;
  bool in_katakana = false;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && !IsHalfwidthKatakana(text[j])) ++j;
    if (j > i) {
      piece.clear();
      codec.EncodeInto(text.substr(i, j - i), piece);  // assumes ASCII before, ends in ASCII
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

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::optional<Charset> CharsetNamed(std::string_view name) {
  static constexpr std::pair<std::string_view, Charset> kNames[] = {
      {"Shift_JIS", Charset::kShiftJis}, {"ISO-2022-JP", Charset::kIso2022Jp},
      {"EUC-JP", Charset::kEucJp},       {"UTF-7", Charset::kUtf7},
      {"UTF-8", Charset::kUtf8},
  };
  for (const auto& [known, charset] : kNames) {
    if (EqualsIgnoringCase(name, known)) return charset;
  }
  return std::nullopt;
}

CharsetDecoder::CharsetDecoder(Charset charset) : charset_(charset) {
  if (charset == Charset::kShiftJis) {
    shift_jis_ = std::make_unique<ShiftJisDecoder>();
  } else if (charset == Charset::kEucJp || charset == Charset::kUtf8) {
    ascii_runs_ = std::make_unique<AsciiRunsDecoder>(IcuName(charset));
  } else {
    // Both ISO-2022-JP kinds read JIS X 0212; they differ only in what they write.
    icu_ = std::make_unique<IcuCodec>(IsIso2022Jp(charset) ? IcuName(Charset::kIso2022Jp)
                                                           : IcuName(charset));
  }
}

CharsetDecoder::~CharsetDecoder() = default;

void CharsetDecoder::Decode(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  if (shift_jis_) {
    shift_jis_->Decode(bytes, last, out);
    return;
  }
  if (ascii_runs_) {
    ascii_runs_->Decode(bytes, last, out);
    return;
  }
  if (!IsIso2022Jp(charset_)) {
    icu_->DecodePartInto(bytes, last, out);
    return;
  }
  // ESC $ D is an old short form of ESC $ ( D that ICU does not read: it is spelt out.
  // The bytes are copied only when they hold the short form, or a piece ends in the middle
  // of one.
  const bool has_short_form = std::search(bytes.begin(), bytes.end(), kShortJisX0212.begin(),
                                          kShortJisX0212.end()) != bytes.end();
  if (held_.empty() && !has_short_form && (last || OpenShortJisX0212(bytes) == 0)) {
    icu_->DecodePartInto(bytes, last, out);
    return;
  }
  // What may begin a short form at the end waits for the next piece.
  held_.insert(held_.end(), bytes.begin(), bytes.end());
  const std::size_t open = last ? 0 : OpenShortJisX0212(held_);
  patched_.clear();
  WriteLongJisX0212(std::span(held_).first(held_.size() - open), patched_);
  held_.erase(held_.begin(), held_.end() - static_cast<std::ptrdiff_t>(open));
  icu_->DecodePartInto(patched_, last, out);
}

std::u16string Decode(Charset charset, std::span<const std::uint8_t> bytes) {
  CharsetDecoder decoder(charset);
  std::u16string text;
  decoder.Decode(bytes, true, text);
  return text;
}

std::u16string DecodeShiftJisByIcu(std::span<const std::uint8_t> bytes) {
  std::u16string text = DecodeByIcuName("windows-31j", bytes);
  for (char16_t& c : text) c = RestoreShiftJisControl(c);
  return text;
}

std::vector<std::uint8_t> Encode(Charset charset, std::u16string_view text) {
  IcuCodec codec(IcuName(charset));
  std::vector<std::uint8_t> bytes;
  if (IsIso2022Jp(charset)) {
    EncodeIso2022Jp(codec, text, bytes);
  } else {
    codec.EncodeInto(text, bytes);
  }
  if (charset == Charset::kShiftJis && HasSwappedControls(bytes)) RestoreShiftJisControls(bytes);
  return bytes;
}

std::u16string DecodeByIcuName(const char* name, std::span<const std::uint8_t> bytes) {
  IcuCodec codec(name);
  std::u16string text;
  codec.DecodeInto(bytes, text);
  return text;
}

std::vector<std::uint8_t> EncodeByIcuName(const char* name, std::u16string_view text) {
  IcuCodec codec(name);
  std::vector<std::uint8_t> bytes;
  codec.EncodeInto(text, bytes);
  return bytes;
}

}  // namespace pagelift
