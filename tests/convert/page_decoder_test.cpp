#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/charsets.h"
#include "convert/code_choice.h"
#include "convert/page_decoder.h"
#include "support/bytes.h"
#include "support/file_bytes.h"
#include "support/platform.h"

namespace pagelift {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample(const char* name) {
  const std::string bytes = test::FileBytes(std::string(PAGELIFT_SAMPLES) + "/" + name);
  return Bytes(bytes.begin(), bytes.end());
}

// `count` strings of up to `most` bytes drawn from `alphabet`, the same on every run.
std::vector<Bytes> RandomStrings(const Bytes& alphabet, std::size_t count, std::size_t most) {
  std::mt19937 engine(20261207);
  std::uniform_int_distribution<std::size_t> size(0, most);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::vector<Bytes> strings(count);
  for (Bytes& bytes : strings) {
    for (std::size_t n = size(engine); n > 0; --n) bytes.push_back(alphabet[pick(engine)]);
  }
  return strings;
}

TEST(ShiftJisDecode, GivesTheConvertersTextForEveryCodeOfOneAndTwoBytes) {
  for (unsigned first = 0; first < 256; ++first) {
    const Bytes single = {static_cast<std::uint8_t>(first)};
    ASSERT_EQ(Decode(Charset::kShiftJis, single),
              DecodeByConverterAlone(Charset::kShiftJis, single))
        << first;
    for (unsigned second = 0; second < 256; ++second) {
      // The pair alone, and followed by a lead that the end cuts short.
      const Bytes pair = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second),
                          0x82};
      for (const std::size_t size : {2, 3}) {
        const std::span<const std::uint8_t> bytes(pair.data(), size);
        ASSERT_EQ(Decode(Charset::kShiftJis, bytes),
                  DecodeByConverterAlone(Charset::kShiftJis, bytes))
            << first << " " << second;
      }
    }
  }
}

TEST(CharsetDecode, GivesTheConvertersTextForRandomBytesAndRealPages) {
  // The charsets whose decoding takes ASCII runs, or Shift_JIS codes, past the converter.
  const struct {
    Charset charset;
    const char* sample;
    // Leads, trails, bytes that lead nothing or are nothing, controls ICU swaps, ASCII.
    Bytes alphabet;
  } charsets[] = {
      {Charset::kShiftJis, "sample.sjis.html",
       test::Hex("00 1A 1C 20 3C 41 7F 80 81 82 85 9F A0 A1 DF E0 EF F0 FC FD FF")},
      {Charset::kEucJp, "sample.euc.html",
       test::Hex("00 0A 41 5C 7E 8E 8F A1 A4 A2 B0 DF E0 FE FF 80")},
      {Charset::kUtf8, "sample.utf8.html",
       test::Hex("00 41 7F 80 BF C2 C3 E3 81 82 ED EF BB F0 9F F4 F8 FF")},
  };
  for (const auto& c : charsets) {
    for (const Bytes& bytes : RandomStrings(c.alphabet, 3000, 40)) {
      ASSERT_EQ(Decode(c.charset, bytes), DecodeByConverterAlone(c.charset, bytes))
          << testing::PrintToString(bytes);
    }
    const Bytes page = Sample(c.sample);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(Decode(c.charset, page), DecodeByConverterAlone(c.charset, page)) << c.sample;
  }
}

// The page's text through a PageDecoder fed pieces of `piece` bytes.
std::u16string InPieces(Code code, const Bytes& bytes, std::size_t piece) {
  PageDecoder decoder(code);
  std::u16string text;
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(piece, bytes.size() - at);
    decoder.Decode(std::span(bytes).subspan(at, size), at + size == bytes.size(), text);
    at += size;
  } while (at < bytes.size());
  return text;
}

TEST(PageDecoder, GivesTheMembersTextWhereverThePiecesEnd) {
  const struct {
    Code code;
    Bytes page;  // a sample page, then what is hard to cut: marks, escapes, runs, pairs
    Bytes alphabet;
  } codes[] = {
      {Code::kSJIS, Sample("sample.sjis.html"),
       test::Hex("0D 0A 1A 1C 41 7F 82 A0 20 DF E0 FD FF")},
      {Code::kJIS, Sample("sample.jis.html"), test::Hex("1B 24 28 42 44 40 49 4A 30 21 0E 80 41")},
      {Code::kEUC, Sample("sample.euc.html"), test::Hex("8E 8F A1 A4 A2 B0 FE FF 41 0A")},
      {Code::kUNICODE, Sample("sample.utf16.html"), test::Hex("FF FE 00 41 D8 DC 3D 30 0D 0A")},
      {Code::kUTF7, Sample("sample.utf7.html"), test::Hex("2B 2D 41 5A 61 30 2F 20 80 0A")},
      {Code::kUTF8, Sample("sample.utf8.html"), test::Hex("EF BB BF E3 81 82 F0 9F 98 80 C3 41")},
      {Code::kUTF16BE, Sample("sample.utf16be.html"), test::Hex("FE FF 00 41 D8 DC 30 3D 0D 0A")},
  };
  const NonCodeClass facade;
  test::LeftOut left_out;
  for (const auto& code : codes) {
    ASSERT_FALSE(code.page.empty());
    std::vector<Bytes> pages;
    // Wine's UTF-8 decoder reads a bad byte by what follows it further on, so it reads
    // bad bytes cut into pieces otherwise.
    if (left_out.Unless(code.code != Code::kUTF8 || !test::UnderWine(), "random UTF-8",
                        "Wine reads bad UTF-8 by what follows it")) {
      pages = RandomStrings(code.alphabet, 400, 24);
    }
    pages.push_back(code.page);
    for (const Bytes& page : pages) {
      const std::u16string whole = DecodeAsCode(facade, code.code, ByteArray(page));
      for (const std::size_t piece : {1, 2, 3, 5, 64}) {
        ASSERT_EQ(InPieces(code.code, page, piece), whole)
            << "code " << FactsOf(code.code).judged << ", pieces of " << piece << ", page "
            << testing::PrintToString(page);
      }
    }
  }
  left_out.SkipIfAny();
}

}  // namespace
}  // namespace pagelift
