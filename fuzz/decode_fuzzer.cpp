#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "convert/bom.h"
#include "convert/charsets.h"
#include "convert/code_choice.h"
#include "convert/non_code_class.h"
#include "convert/page_decoder.h"
#include "fuzz_check.h"

using namespace pagelift;

namespace {

// Encoding the text of a decoding and decoding it again gives the text back, unless the
// encoded bytes hold the mark the decoding cuts (cutting can join the bytes around a
// mark into a new one).
void CheckRoundTrip(const NonCodeClass& codes, const ByteArray& mark,
                    std::u16string (NonCodeClass::*decode)(const ByteArray&) const,
                    ByteArray (NonCodeClass::*encode)(const std::u16string&, bool) const,
                    const ByteArray& bytes) {
  const std::u16string text = (codes.*decode)(bytes);
  const ByteArray again = (codes.*encode)(text, false);
  if (text.empty() || !again.IsSet()) return;
  if (CutBOM(again, mark) != again) return;
  FUZZ_CHECK((codes.*decode)(again) == text);
}

// The text of `bytes` decoded in pieces of `piece` bytes.
std::u16string InPieces(Code code, std::span<const std::uint8_t> bytes, std::size_t piece) {
  PageDecoder decoder(code);
  std::u16string text;
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(piece, bytes.size() - at);
    decoder.Decode(bytes.subspan(at, size), at + size == bytes.size(), text);
    at += size;
  } while (at < bytes.size());
  return text;
}

}  // namespace

// Every to-text member in both modes, and the to-bytes members on what they decode. In
// mode 0, the Shift_JIS table and the ASCII runs of EUC-JP give ICU's text, and every
// code, big-endian UTF-16 included, decoded in pieces (their size taken from the first
// byte) gives the text of the whole.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteArray bytes(std::vector<std::uint8_t>(data, data + size));
  int messages = 0;
  NonCodeClass codes([&messages](const std::u16string&) { ++messages; });
  for (std::int32_t mode : {0, 1}) {
    codes.FuncRogic(mode);
    const std::u16string texts[] = {
        codes.SJIS_To_VbUnicode(bytes), codes.JIS_To_VbUnicode(bytes),
        codes.EUC_To_VbUnicode(bytes),  codes.UTF7_To_VbUnicode(bytes),
        codes.UTF8_To_VbUnicode(bytes), codes.UNICODE_To_VbUnicode(bytes),
    };
    // Shift_JIS, EUC-JP and ISO-2022-JP never make more than one unit of a byte.
    FUZZ_CHECK(texts[0].size() <= size && texts[1].size() <= size && texts[2].size() <= size);
    if (mode == 0) {
      FUZZ_CHECK(texts[0] == DecodeByConverterAlone(Charset::kShiftJis, bytes.Data()));
      FUZZ_CHECK(texts[2] == DecodeByConverterAlone(Charset::kEucJp, bytes.Data()));
      const std::size_t piece = size > 0 ? data[0] % 16 + 1 : 1;
      const Code order[] = {Code::kSJIS, Code::kJIS,  Code::kEUC,
                            Code::kUTF7, Code::kUTF8, Code::kUNICODE};
      for (std::size_t k = 0; k < 6; ++k) {
        FUZZ_CHECK(InPieces(order[k], bytes.Data(), piece) == texts[k]);
      }
      // UTF-16 with the high byte first, which no member reads.
      const std::u16string big_endian = DecodeAsCode(codes, Code::kUTF16BE, bytes);
      FUZZ_CHECK(InPieces(Code::kUTF16BE, bytes.Data(), piece) == big_endian);
      const ByteArray again = EncodeAsCode(codes, Code::kUTF16BE, big_endian, false);
      if (CutBOM(again, ByteArray{0xFE, 0xFF}) == again) {
        FUZZ_CHECK(DecodeAsCode(codes, Code::kUTF16BE, again) == big_endian);
      }
    }
    codes.VbUnicode_To_SJIS(texts[0]);
    codes.VbUnicode_To_JIS(texts[1]);
    codes.VbUnicode_To_EUC(texts[2]);
    codes.VbUnicode_To_UTF7(texts[3]);
    CheckRoundTrip(codes, ByteArray{0xEF, 0xBB, 0xBF}, &NonCodeClass::UTF8_To_VbUnicode,
                   &NonCodeClass::VbUnicode_To_UTF8, bytes);
    CheckRoundTrip(codes, ByteArray{0xFF, 0xFE}, &NonCodeClass::UNICODE_To_VbUnicode,
                   &NonCodeClass::VbUnicode_To_UNICODE, bytes);
  }
  FUZZ_CHECK(messages == 2);  // EUC both ways in the code-page mode, once each
  return 0;
}
