// On Windows, MLang converts, as the stream object itself does there: IMultiLanguage2 by
// code page. MLang keeps no state from one call to the next (a call that ends inside a
// character or an escape sequence fails or replaces it), so a text that comes in pieces is
// cut where no character is open, and the rest of a piece waits for the next one.
#include <windows.h>

#include <mlang.h>
#include <oleauto.h>

#include <algorithm>
#include <string>

#include "base/errors.h"
#include "convert/codec.h"
#include "convert/utf8_text.h"

namespace pagelift {

namespace {

// Not in mingw-w64's import library.
constexpr IID kIID_IMultiLanguage2 = {
    0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

UINT CodePageOf(Charset charset) {
  switch (charset) {
    case Charset::kShiftJis:
      return 932;
    case Charset::kIso2022Jp:
    case Charset::kIso2022JpWindows:
      return 50221;  // half-width katakana as ESC ( I, as pages write them
    case Charset::kEucJp:
      return 51932;
    case Charset::kUtf7:
      return 65000;
    case Charset::kUtf8:
      return 65001;
  }
  return 65001;
}

// MLang is a COM object, made once for each thread that converts and kept while the
// thread lives; COM is set up for the thread with it unless the thread had it already (a
// window's thread, say).
IMultiLanguage2* ThreadsMultiLanguage() {
  thread_local struct Holder {
    ~Holder() {
      if (ml != nullptr) ml->Release();
      if (com) CoUninitialize();
    }
    bool com = false;
    IMultiLanguage2* ml = nullptr;
  } holder;
  if (holder.ml == nullptr) {
    if (!holder.com) holder.com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const HRESULT result =
        CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER, kIID_IMultiLanguage2,
                         reinterpret_cast<void**>(&holder.ml));
    if (FAILED(result)) {
      holder.ml = nullptr;
      throw Error("MLang is missing: " + std::to_string(result));
    }
  }
  return holder.ml;
}

class MultiLanguage {
 public:
  MultiLanguage() : ml_(ThreadsMultiLanguage()) {}

  // Appends the text of `bytes` in `code_page` to `out`; false when MLang fails.
  bool Decode(UINT code_page, std::span<const std::uint8_t> bytes, std::u16string& out) {
    if (bytes.empty()) return true;
    if (bytes.size() > 0x7FFFFFFF) throw Error("too long for MLang");
    // No code page here makes more units than it takes bytes.
    const std::size_t start = out.size();
    out.resize(start + bytes.size() + 1);
    DWORD mode = 0;
    UINT source = static_cast<UINT>(bytes.size());
    UINT made = static_cast<UINT>(bytes.size() + 1);
    const HRESULT result = ml_->ConvertStringToUnicode(
        &mode, code_page, reinterpret_cast<CHAR*>(const_cast<std::uint8_t*>(bytes.data())), &source,
        reinterpret_cast<WCHAR*>(out.data() + start), &made);
    out.resize(start + (result == S_OK ? made : 0));
    return result == S_OK;
  }

  void Encode(UINT code_page, std::u16string_view text, std::vector<std::uint8_t>& out) {
    if (text.empty()) return;
    if (text.size() > 0x7FFFFFF) throw Error("too long for MLang");
    const std::size_t start = out.size();
    // ISO-2022-JP at its worst: an escape sequence, a character and a way back for each.
    out.resize(start + text.size() * 8 + 8);
    DWORD mode = 0;
    UINT source = static_cast<UINT>(text.size());
    UINT made = static_cast<UINT>(out.size() - start);
    const HRESULT result = ml_->ConvertStringFromUnicode(
        &mode, code_page, reinterpret_cast<WCHAR*>(const_cast<char16_t*>(text.data())), &source,
        reinterpret_cast<CHAR*>(out.data() + start), &made);
    if (result != S_OK) {
      out.resize(start);
      throw Error("MLang cannot encode in code page " + std::to_string(code_page));
    }
    out.resize(start + made);
  }

  // The code page MLang converts a charset name with; 0 for a name it does not know.
  UINT CodePageNamed(const char* name) {
    const std::u16string wide = Utf8ToText(
        {reinterpret_cast<const std::uint8_t*>(name), std::char_traits<char>::length(name)});
    BSTR charset = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                                     static_cast<UINT>(wide.size()));
    MIMECSETINFO info{};
    const HRESULT result = ml_->GetCharsetInfo(charset, &info);
    SysFreeString(charset);
    return SUCCEEDED(result) ? info.uiInternetEncoding : 0;
  }

 private:
  IMultiLanguage2* ml_ = nullptr;
};

bool IsAscii(std::uint8_t byte) {
  return byte < 0x80;
}

}  // namespace

struct Codec::State {
  explicit State(Charset charset) : charset(charset), code_page(CodePageOf(charset)) {}

  // How many bytes at the end of `bytes` may begin a character that the next piece
  // finishes, and must wait for it; the bytes from `fresh` on are new, those before it
  // waited already and were looked at then.
  std::size_t OpenTail(std::span<const std::uint8_t> bytes, std::size_t fresh) const;
  // Appends the text of the piece to `out`, holding back the open tail unless `last`.
  void DecodePiece(std::span<const std::uint8_t> bytes, bool last, std::u16string& out);
  // Appends the text of `bytes`, what MLang refuses as U+FFFD.
  void DecodeRecovering(std::span<const std::uint8_t> bytes, std::u16string& out);
  // DecodeRecovering but for the adjustments to a code: MLang's text.
  void DecodeByMlang(std::span<const std::uint8_t> bytes, std::u16string& out);
  // DecodeRecovering for EUC-JP, whose JIS X 0212 characters MLang does not read.
  void DecodeEucJp(std::span<const std::uint8_t> bytes, std::u16string& out);
  void DecodeInHalves(std::span<const std::uint8_t> escape, std::span<const std::uint8_t> body,
                      std::u16string& out);

  MultiLanguage ml;
  Charset charset;
  UINT code_page;
  std::vector<std::uint8_t> held;  // the open tail of the piece before
  std::vector<std::uint8_t> joined;
  std::vector<std::uint8_t> rejoined;
};

std::size_t Codec::State::OpenTail(std::span<const std::uint8_t> bytes, std::size_t fresh) const {
  switch (charset) {
    case Charset::kShiftJis: {
      // A lead and the byte after it are read as one character, whatever that byte is.
      std::size_t start = 0;
      std::size_t next = 0;
      while (next < bytes.size()) {
        start = next;
        next += IsDBCSLeadByteEx(932, bytes[next]) ? 2 : 1;
      }
      return next > bytes.size() ? bytes.size() - start : 0;
    }
    case Charset::kUtf8: {
      // No ASCII byte is part of a sequence; a lead among the last three may want more.
      for (std::size_t k = 1; k <= 3 && k <= bytes.size(); ++k) {
        const std::uint8_t byte = bytes[bytes.size() - k];
        if ((byte & 0xC0) == 0x80) continue;
        const std::size_t wants = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return wants > k ? k : 0;
      }
      return 0;
    }
    case Charset::kEucJp: {
      // MLang takes the byte after a lead as its partner even when it is ASCII, and reads
      // damaged sequences in ways of its own; after two ASCII bytes in a row, though, a
      // character surely starts. Without such a pair all of it waits; the bytes that
      // waited had none, so only the new ones (and the byte before them) are looked at.
      for (std::size_t end = bytes.size(); end >= std::max<std::size_t>(fresh + 1, 2); --end) {
        if (IsAscii(bytes[end - 1]) && IsAscii(bytes[end - 2])) return bytes.size() - end;
      }
      return bytes.size();
    }
    case Charset::kIso2022Jp:
    case Charset::kIso2022JpWindows:
    case Charset::kUtf7:
      // Each piece would start over in ASCII, and MLang reads an escape sequence or a run
      // of base64 at the end of what it is given otherwise than inside a text: the whole
      // text waits for its end.
      return bytes.size();
  }
  return bytes.size();
}

void Codec::State::DecodePiece(std::span<const std::uint8_t> bytes, bool last,
                               std::u16string& out) {
  // What waited takes the piece on: it is appended to and never copied whole again, so a
  // text that waits long (ISO-2022-JP, UTF-7, EUC-JP without ASCII) stays linear.
  const std::size_t fresh = held.size();
  if (fresh > 0) {
    held.insert(held.end(), bytes.begin(), bytes.end());
    joined.swap(held);
    held.clear();
    bytes = joined;
  }
  const std::size_t open = last ? 0 : OpenTail(bytes, fresh);
  if (open == bytes.size() && fresh > 0) {
    held.swap(joined);
    return;
  }
  held.assign(bytes.end() - static_cast<std::ptrdiff_t>(open), bytes.end());
  DecodeRecovering(bytes.first(bytes.size() - open), out);
}

void Codec::State::DecodeRecovering(std::span<const std::uint8_t> bytes, std::u16string& out) {
  if (charset == Charset::kUtf8) {
    // Windows (Wine at least) reads the ASCII byte after a sequence cut short at the end
    // of what it is given as part of it, and loses it (E3 41 gives one U+FFFD); within a
    // text it reads the same byte as itself. The ASCII at the end is read here instead,
    // as every UTF-8 reader reads it.
    std::size_t ascii = bytes.size();
    while (ascii > 0 && IsAscii(bytes[ascii - 1])) --ascii;
    if (ascii < bytes.size()) {
      DecodeRecovering(bytes.first(ascii), out);
      out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(ascii), bytes.end());
      return;
    }
  }
  if (charset == Charset::kEucJp) {
    DecodeEucJp(bytes, out);
  } else {
    DecodeByMlang(bytes, out);
  }
}

void Codec::State::DecodeByMlang(std::span<const std::uint8_t> bytes, std::u16string& out) {
  if (ml.Decode(code_page, bytes, out)) return;
  // MLang refuses a whole text for one bad sequence in ISO-2022-JP or UTF-7 (a stray
  // 8-bit byte, a lone ESC or "+"). The text is read again in parts, each from one shift
  // sequence to the next, and a part that is still refused in halves, down to single
  // pairs that become U+FFFD: the damage stays where it is.
  const std::uint8_t shift = charset == Charset::kUtf7 ? '+' : 0x1B;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = start + 1;
    while (end < bytes.size() && bytes[end] != shift) ++end;
    const std::span<const std::uint8_t> part = bytes.subspan(start, end - start);
    // A part of ISO-2022-JP starts with its escape sequence, which every half needs.
    std::size_t escape = 0;
    if (shift == 0x1B && part[0] == 0x1B) {
      escape = std::min<std::size_t>(part.size(), part.size() > 2 && part[2] == '(' ? 4 : 3);
    }
    DecodeInHalves(part.first(escape), part.subspan(escape), out);
    start = end;
  }
}

void Codec::State::DecodeEucJp(std::span<const std::uint8_t> bytes, std::u16string& out) {
  // Code page 51932, which MLang reads EUC-JP with, has no JIS X 0212: it reads the 8F
  // before such a character as U+008F and the two bytes after it as another character.
  // Code page 20932 has it, each character as its two bytes with the second below 0x80, so
  // the runs between such characters go to MLang and each of them to code page 20932.
  // Characters are found as MLang reads them: the byte after a lead is its partner,
  // whatever it is.
  const auto high = [](std::uint8_t byte) { return byte >= 0xA1 && byte <= 0xFE; };
  std::size_t run = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::uint8_t byte = bytes[at];
    if (byte == 0x8F && at + 2 < bytes.size() && high(bytes[at + 1]) && high(bytes[at + 2])) {
      DecodeByMlang(bytes.subspan(run, at - run), out);
      const char pair[2] = {static_cast<char>(bytes[at + 1]),
                            static_cast<char>(bytes[at + 2] & 0x7F)};
      wchar_t character = 0;
      out.push_back(MultiByteToWideChar(20932, MB_ERR_INVALID_CHARS, pair, 2, &character, 1) == 1
                        ? static_cast<char16_t>(character)
                        : u'\uFFFD');
      at += 3;
      run = at;
      continue;
    }
    at += high(byte) || byte == 0x8E ? 2 : byte == 0x8F ? 3 : 1;
  }
  DecodeByMlang(bytes.subspan(run), out);
}

void Codec::State::DecodeInHalves(std::span<const std::uint8_t> escape,
                                  std::span<const std::uint8_t> body, std::u16string& out) {
  rejoined.assign(escape.begin(), escape.end());
  rejoined.insert(rejoined.end(), body.begin(), body.end());
  if (ml.Decode(code_page, rejoined, out)) return;
  if (body.size() <= 2) {
    out.push_back(u'\uFFFD');
    return;
  }
  const std::size_t half =
      std::max<std::size_t>(body.size() / 2 & ~std::size_t{1}, 2);  // pairs stay whole
  DecodeInHalves(escape, body.first(half), out);
  DecodeInHalves(escape, body.subspan(half), out);
}

Codec::Codec(Charset charset) : state_(std::make_unique<State>(charset)) {}

Codec::~Codec() = default;

void Codec::DecodeInto(std::span<const std::uint8_t> bytes, std::u16string& out) {
  state_->held.clear();
  state_->DecodePiece(bytes, true, out);
}

void Codec::DecodePartInto(std::span<const std::uint8_t> bytes, bool last, std::u16string& out) {
  state_->DecodePiece(bytes, last, out);
}

char16_t* Codec::DecodePartTo(std::span<const std::uint8_t> bytes, bool last, char16_t* target,
                              char16_t* limit) {
  std::u16string text;
  state_->DecodePiece(bytes, last, text);
  if (static_cast<std::size_t>(limit - target) < text.size()) {
    throw Error("the converter made more text than there was room for");
  }
  return std::copy(text.begin(), text.end(), target);
}

void Codec::EncodeInto(std::u16string_view text, std::vector<std::uint8_t>& out) {
  state_->ml.Encode(state_->code_page, text, out);
}

bool Codec::AsciiStandsAlone() const {
  return state_->charset == Charset::kUtf8;
}

std::u16string DecodeByName(const char* name, std::span<const std::uint8_t> bytes) {
  MultiLanguage ml;
  const UINT code_page = ml.CodePageNamed(name);
  if (code_page == 0) throw Error(std::string("no converter for ") + name);
  std::u16string text;
  if (!ml.Decode(code_page, bytes, text)) throw Error(std::string("cannot decode ") + name);
  return text;
}

std::vector<std::uint8_t> EncodeByName(const char* name, std::u16string_view text) {
  MultiLanguage ml;
  const UINT code_page = ml.CodePageNamed(name);
  if (code_page == 0) throw Error(std::string("no converter for ") + name);
  std::vector<std::uint8_t> bytes;
  ml.Encode(code_page, text, bytes);
  return bytes;
}

}  // namespace pagelift
