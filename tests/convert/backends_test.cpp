#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/ados.h"
#include "convert/code_page_932.h"
#include "convert/wcmb.h"
#include "support/bytes.h"
#include "support/platform.h"

namespace pagelift {
namespace {

using test::HexArray;

// Kanji, kana, half-width katakana, NEC row-13 characters, full-width forms and ASCII
// with the two characters whose Shift_JIS bytes other tables read as yen and overline.
const std::u16string kParagraph =
    u"日本語の文章です。ひらがな、カタカナ、ｶﾀｶﾅ（ﾊﾝｶｸ）と①②⑳㈱№≒Ⅲ、ＡＢＣ１２３。\r\n"
    u"ASCII: a\\b~c {x|y} 100% \"quoted\"\tend";

struct Backend {
  const char* name;
  ByteArray (*encode)(const std::u16string&);
  std::u16string (*decode)(const ByteArray&);
  int code_page;  // of the code-page back end; 0 for the stream back end
};

const Backend kBackends[] = {
    {"ADOS Shift_JIS", ADOS_VbUnicode_To_SJIS, ADOS_SJIS_To_VbUnicode, 0},
    {"ADOS ISO-2022-JP", ADOS_VbUnicode_To_JIS, ADOS_JIS_To_VbUnicode, 0},
    {"ADOS EUC-JP", ADOS_VbUnicode_To_EUC, ADOS_EUC_To_VbUnicode, 0},
    {"ADOS UTF-7", ADOS_VbUnicode_To_UTF7, ADOS_UTF7_To_VbUnicode, 0},
    {"ADOS UTF-8", ADOS_VbUnicode_To_UTF8, ADOS_UTF8_To_VbUnicode, 0},
    {"WCMB 932", WCMB_VbUnicode_To_SJIS, WCMB_SJIS_To_VbUnicode, 932},
    {"WCMB 50221", WCMB_VbUnicode_To_JIS, WCMB_JIS_To_VbUnicode, 50221},
    {"WCMB 65000", WCMB_VbUnicode_To_UTF7, WCMB_UTF7_To_VbUnicode, 65000},
    {"WCMB 65001", WCMB_VbUnicode_To_UTF8, WCMB_UTF8_To_VbUnicode, 65001},
};

// Whether this system's code-page back end has the back end's code page; if not, the
// case is listed in `left_out`.
bool Present(const Backend& b, test::LeftOut& left_out) {
  return b.code_page == 0 || left_out.Unless(test::HasCodePage(b.code_page), b.name,
                                             "no such code page here (Wine lacks it)");
}

TEST(Backends, RoundTripAJapaneseParagraph) {
  test::LeftOut left_out;
  for (const Backend& b : kBackends) {
    if (!Present(b, left_out)) continue;
    // Wine's MLang writes half-width katakana as full-width ones in ISO-2022-JP, and
    // has none of the NEC row 13 (①, №) in EUC-JP.
    if (!left_out.Unless(
            !test::UnderWine() || b.code_page != 0 ||
                (b.encode != ADOS_VbUnicode_To_JIS && b.encode != ADOS_VbUnicode_To_EUC),
            b.name, "Wine's MLang loses half-width katakana and NEC row 13")) {
      continue;
    }
    const ByteArray bytes = b.encode(kParagraph);
    EXPECT_GT(bytes.Data().size(), kParagraph.size()) << b.name;
    EXPECT_EQ(b.decode(bytes), kParagraph) << b.name;
  }
  left_out.SkipIfAny();
}

TEST(Backends, KeepEveryControlAndAsciiCharacter) {
  std::u16string ascii;
  for (char16_t c = 1; c < 0x80; ++c) {
    if (c != u'+' && c != 0x1B && c != 0x0E && c != 0x0F) ascii.push_back(c);  // shift codes
  }
  test::LeftOut left_out;
  for (const Backend& b : kBackends) {
    if (Present(b, left_out)) {
      EXPECT_EQ(b.decode(b.encode(ascii)), ascii) << b.name;
    }
  }
  // Single-byte codes map to themselves, as Windows maps them.
  std::vector<std::uint8_t> raw;
  for (std::uint8_t c = 0; c < 0x80; ++c) raw.push_back(c);
  const std::u16string text = ADOS_SJIS_To_VbUnicode(ByteArray(raw));
  ASSERT_EQ(text.size(), raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) EXPECT_EQ(text[i], raw[i]) << i;
  EXPECT_EQ(ADOS_VbUnicode_To_SJIS(text), ByteArray(raw));
  left_out.SkipIfAny();
}

TEST(Backends, EncodeAsciiLettersAsTheirBytesWithoutAMark) {
  test::LeftOut left_out;
  for (const Backend& b : kBackends) {
    if (Present(b, left_out)) {
      EXPECT_EQ(b.encode(u"abc"), HexArray("61 62 63")) << b.name;
    }
  }
  left_out.SkipIfAny();
}

TEST(Backends, BadBytesBecomeReplacementCharactersAndTheRestDecodes) {
  // ICU writes U+FFFD for what it cannot read and reads on at the next byte it can.
  // Windows (as Wine 8 renders it) writes code page 932's own mark for a bad character,
  // U+30FB, takes the byte after a lead for its partner whatever it is, and gives the
  // bytes 80, A0 and FD to FF their own characters; its MLang drops an unknown escape
  // sequence.
  const struct {
    const char* name;
    std::u16string (*decode)(const ByteArray&);
    const char* bytes;
    std::u16string expected;
    std::u16string on_windows;
  } cases[] = {
      {"SJIS bad trail", ADOS_SJIS_To_VbUnicode, "82 A0 82 20 41", u"あ\uFFFD A", u"あ・A"},
      {"SJIS lone lead at end", ADOS_SJIS_To_VbUnicode, "41 82", u"A\uFFFD", u"A・"},
      {"SJIS unused byte", ADOS_SJIS_To_VbUnicode, "A0 41 FD 42", u"\uFFFDA\uFFFDB",
       u"\uF8F0A\uF8F1B"},
      {"EUC bad pair", ADOS_EUC_To_VbUnicode, "A4 A2 A4 41 42", u"あ\uFFFDAB", u"あ・B"},
      {"EUC cut SS3", ADOS_EUC_To_VbUnicode, "41 8F B0", u"A\uFFFD", u"A\u008F・"},
      {"EUC stray high", ADOS_EUC_To_VbUnicode, "FF 41", u"\uFFFDA", u"\uF8F3A"},
      {"JIS bad escape", ADOS_JIS_To_VbUnicode, "1B 28 5A 41", u"\uFFFD(ZA", u"A"},
      {"JIS 8-bit byte", ADOS_JIS_To_VbUnicode, "41 A4 42", u"A\uFFFDB", u"A\uFF64B"},
      {"JIS cut kanji", ADOS_JIS_To_VbUnicode, "1B 24 42 24 22 24", u"あ\uFFFD", u"あ\uFFFD"},
      {"UTF-8 bad", ADOS_UTF8_To_VbUnicode, "E3 81 82 FF 41 E3 81", u"あ\uFFFDA\uFFFD",
       u"あ\uFFFDA\uFFFD"},
      {"UTF-8 stray", ADOS_UTF8_To_VbUnicode, "80 41", u"\uFFFDA", u"\uFFFDA"},
      {"UTF-7 bad", ADOS_UTF7_To_VbUnicode, "2B 4D 45 49 2D 41 80 42", u"あA\uFFFDB",
       u"あA\u0080B"},
      {"932 bad", WCMB_SJIS_To_VbUnicode, "82 20 41", u"\uFFFD A", u"・A"},
      {"65001 bad", WCMB_UTF8_To_VbUnicode, "C3 41", u"\uFFFDA", u"\uFFFDA"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.decode(HexArray(c.bytes)), test::kWindows ? c.on_windows : c.expected) << c.name;
  }
}

TEST(Backends, WriteAQuestionMarkForWhatTheCharsetCannotHold) {
  // An emoji exists in no Japanese table: Windows writes "?" for each of its two units.
  const std::u16string text = u"a\U0001F600b";
  const ByteArray question = HexArray(test::kWindows ? "61 3F 3F 62" : "61 3F 62");
  EXPECT_EQ(ADOS_VbUnicode_To_SJIS(text), question);
  EXPECT_EQ(ADOS_VbUnicode_To_EUC(text), question);
  EXPECT_EQ(WCMB_VbUnicode_To_SJIS(text), question);
  // An unpaired surrogate: Windows writes U+FFFD.
  EXPECT_EQ(ADOS_VbUnicode_To_UTF8(u"a\xD800"), HexArray(test::kWindows ? "61 EF BF BD" : "61 3F"));
}

TEST(StreamBackEnd, ReadsEveryJisDesignation) {
  const struct {
    const char* bytes;
    std::u16string expected;
  } cases[] = {
      {"1B 28 42 41", u"A"},
      {"1B 28 4A 41", u"A"},
      {"1B 28 49 31 1B 28 42", u"ｱ"},
      {"1B 24 40 30 21 1B 28 42", u"亜"},
      {"1B 24 42 30 21 1B 28 42", u"亜"},
      {"1B 24 44 30 21 1B 28 42 41", u"丂A"},  // short form of JIS X 0212
      {"1B 24 28 44 30 21 1B 28 42", u"丂"},
      {"1B 24 42 2D 21 1B 28 42", u"①"},  // NEC row 13
  };
  test::LeftOut left_out;
  const bool has_50221 = left_out.Unless(test::HasCodePage(50221), "code page 50221",
                                         "no such code page here (Wine lacks it)");
  for (const auto& c : cases) {
    // Wine's MLang reads ESC ( I as ASCII and has no JIS X 0212.
    const bool wine_gap = std::string(c.bytes).starts_with("1B 28 49") ||
                          std::string(c.bytes).starts_with("1B 24 44") ||
                          std::string(c.bytes).starts_with("1B 24 28 44");
    if (left_out.Unless(!test::UnderWine() || !wine_gap, c.bytes, "Wine's MLang misreads it")) {
      EXPECT_EQ(ADOS_JIS_To_VbUnicode(HexArray(c.bytes)), c.expected) << c.bytes;
    }
    if (has_50221) {
      EXPECT_EQ(WCMB_JIS_To_VbUnicode(HexArray(c.bytes)), c.expected) << c.bytes;
    }
  }
  left_out.SkipIfAny();
}

TEST(Backends, FrameHalfWidthKatakanaInIso2022JpWithoutEmptySegments) {
  const struct {
    std::u16string text;
    const char* bytes;
  } cases[] = {
      {u"漢ｱ漢", "1B 24 42 34 41 1B 28 49 31 1B 24 42 34 41 1B 28 42"},
      {u"ｱa", "1B 28 49 31 1B 28 42 61"},
      {u"aｱｲ", "61 1B 28 49 31 32 1B 28 42"},
      {u"ｱ\U0001F600", "1B 28 49 31 1B 28 42 3F"},
      {u"｡ﾟ", "1B 28 49 21 5F 1B 28 42"},  // the first and the last of the set
  };
  test::LeftOut left_out;
  const bool has_50221 = left_out.Unless(test::HasCodePage(50221), "code page 50221",
                                         "no such code page here (Wine lacks it)");
  const bool stream = left_out.Unless(!test::UnderWine(), "the stream back end",
                                      "Wine's MLang writes half-width katakana as full-width");
  for (const auto& c : cases) {
    if (stream) {
      EXPECT_EQ(ADOS_VbUnicode_To_JIS(c.text), HexArray(c.bytes));
    }
    if (has_50221) {
      EXPECT_EQ(WCMB_VbUnicode_To_JIS(c.text), HexArray(c.bytes));
    }
  }
  if (stream) {
    EXPECT_EQ(ADOS_JIS_To_VbUnicode(HexArray(cases[0].bytes)), cases[0].text);
  }
  left_out.SkipIfAny();
}

TEST(StreamBackEnd, CarriesJisX0212ThroughEucAndIso2022Jp) {
  // Read in EUC-JP on every platform, among other characters and alone.
  EXPECT_EQ(ADOS_EUC_To_VbUnicode(HexArray("8F B0 A1 8E B1")), u"丂ｱ");
  EXPECT_EQ(ADOS_EUC_To_VbUnicode(HexArray("41 8F AB A2 A4 A2 8F AB A2 42")), u"AàあàB");
  if (test::kWindows) {
    GTEST_SKIP() << "Windows' code pages 51932 and 50221, which MLang writes with, have no "
                    "JIS X 0212";
  }
  EXPECT_EQ(ADOS_VbUnicode_To_EUC(u"丂"), HexArray("8F B0 A1"));
  EXPECT_EQ(ADOS_VbUnicode_To_JIS(u"丂"), HexArray("1B 24 28 44 30 21 1B 28 42"));
  EXPECT_EQ(ADOS_JIS_To_VbUnicode(ADOS_VbUnicode_To_JIS(u"丂")), u"丂");
  // Windows' code page 50221 has no JIS X 0212.
  EXPECT_EQ(WCMB_VbUnicode_To_JIS(u"丂"), HexArray("3F"));
}

TEST(StreamBackEnd, ReadsShiftJisAsWindowsDoes) {
  EXPECT_EQ(ADOS_SJIS_To_VbUnicode(HexArray("5C 7E 87 40 87 8A 81 E0 FA 40")), u"\\~①㈱≒ⅰ");
  EXPECT_EQ(ADOS_VbUnicode_To_SJIS(u"あいう"), HexArray("82 A0 82 A2 82 A4"));
  const ByteArray jis = ADOS_VbUnicode_To_JIS(u"あ");
  EXPECT_EQ(jis, HexArray("1B 24 42 24 22 1B 28 42"));
}

TEST(StreamBackEnd, EncodesUtf8WithoutAMarkAndEmptyTextAsAnEmptyArray) {
  EXPECT_EQ(ADOS_VbUnicode_To_UTF8(u"あA"), HexArray("E3 81 82 41"));
  EXPECT_EQ(ADOS_UTF8_To_VbUnicode(HexArray("E3 81 82 41")), u"あA");
  EXPECT_EQ(ADOS_VbUnicode_To_SJIS(u""), ByteArray::Empty());
  EXPECT_EQ(ADOS_SJIS_To_VbUnicode(ByteArray::Empty()), u"");
  EXPECT_EQ(ADOS_UTF8_To_VbUnicode(ByteArray::Marker()), u"");
  EXPECT_EQ(ADOS_UTF8_To_VbUnicode(ByteArray()), u"");
}

TEST(StreamBackEnd, GivesEmptyResultsForAnUnknownCharset) {
  EXPECT_EQ(ADOS_VbUnicode_To_Charset("no-such-charset", u"abc"), ByteArray::Empty());
  EXPECT_EQ(ADOS_Charset_To_VbUnicode("no-such-charset", HexArray("41")), u"");
  EXPECT_EQ(ADOS_Charset_To_VbUnicode("shift_jis", HexArray("82 A0")), u"あ");  // any case
}

TEST(CodePageBackEnd, ConvertsAsTheWindowsCodePagesDo) {
  EXPECT_EQ(WCMB_VbUnicode_To_CodePage(932, u"あ"), HexArray("82 A0"));
  EXPECT_EQ(WCMB_VbUnicode_To_CodePage(65001, u"あ"), HexArray("E3 81 82"));
  test::LeftOut left_out;
  const bool has_50221 = left_out.Unless(test::HasCodePage(50221), "code page 50221",
                                         "no such code page here (Wine lacks it)");
  if (has_50221) {
    EXPECT_EQ(WCMB_VbUnicode_To_CodePage(50221, u"あ"), HexArray("1B 24 42 24 22 1B 28 42"));
  }
  EXPECT_EQ(WCMB_VbUnicode_To_CodePage(65001, u"A"), HexArray("41"));
  if (has_50221) {
    EXPECT_EQ(WCMB_VbUnicode_To_CodePage(50221, u"ｱｲA"), HexArray("1B 28 49 31 32 1B 28 42 41"));
  }
  EXPECT_EQ(WCMB_CodePage_To_VbUnicode(932, HexArray("82 A0")), u"あ");
  EXPECT_EQ(WCMB_CodePage_To_VbUnicode(65001, HexArray("E3 81 82")), u"あ");
  EXPECT_EQ(WCMB_CodePage_To_VbUnicode(65001, HexArray("EF BB BF E3 81 82")), u"\uFEFFあ");
  left_out.SkipIfAny();
}

TEST(CodePageBackEnd, WritesCodePage932ByWindowsBestFit) {
  // Every entry of the table, through the back end and through ICU's own table.
  for (const BestFit& fit : Cp932BestFits()) {
    const ByteArray bytes = fit.bytes > 0xFF ? ByteArray{static_cast<std::uint8_t>(fit.bytes >> 8),
                                                         static_cast<std::uint8_t>(fit.bytes)}
                                             : ByteArray{static_cast<std::uint8_t>(fit.bytes)};
    EXPECT_EQ(WCMB_VbUnicode_To_SJIS(std::u16string(1, fit.character)), bytes)
        << static_cast<int>(fit.character);
    EXPECT_EQ(ADOS_VbUnicode_To_SJIS(std::u16string(1, fit.read_back)), bytes)
        << static_cast<int>(fit.character);
  }
  EXPECT_EQ(WCMB_VbUnicode_To_SJIS(u"«·¢é¥"), HexArray("81 E1 81 45 81 91 65 5C"));
  // Not in the table: "?", as Windows writes them.
  EXPECT_EQ(WCMB_VbUnicode_To_SJIS(u"〜−‖"), HexArray("3F 3F 3F"));
  // ICU's stream back end has no best fit; MLang's writes it as the code-page one does.
  EXPECT_EQ(ADOS_VbUnicode_To_SJIS(u"«é"), HexArray(test::kWindows ? "81 E1 65" : "3F 3F"));
}

TEST(CodePageBackEnd, GivesEmptyResultsForNothingAndForUnknownCodePages) {
  for (std::int32_t page : {932, 50221, 65000, 65001}) {
    EXPECT_EQ(WCMB_VbUnicode_To_CodePage(page, u""), ByteArray()) << page;
    EXPECT_EQ(WCMB_CodePage_To_VbUnicode(page, ByteArray()), u"") << page;
    EXPECT_EQ(WCMB_CodePage_To_VbUnicode(page, ByteArray::Empty()), u"") << page;
    EXPECT_EQ(WCMB_CodePage_To_VbUnicode(page, ByteArray::Marker()), u"") << page;
  }
  EXPECT_EQ(WCMB_VbUnicode_To_CodePage(12345, u"abc"), ByteArray());
  EXPECT_EQ(WCMB_CodePage_To_VbUnicode(12345, HexArray("41")), u"");
}

TEST(CodePageBackEnd, RefusesEucWithOneMessagePerCall) {
  std::vector<std::u16string> shown;
  const ModalMessage record = [&shown](const std::u16string& text) { shown.push_back(text); };
  EXPECT_EQ(WCMB_EUC_To_VbUnicode(HexArray("A4 A2"), record), u"");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], u"EUCはサポートされていません");
  EXPECT_EQ(WCMB_VbUnicode_To_EUC(u"あ", record), ByteArray());
  EXPECT_EQ(shown.size(), 2u);
  const ModalMessage failing = [](const std::u16string&) {
    throw std::runtime_error("no display");
  };
  EXPECT_EQ(WCMB_EUC_To_VbUnicode(HexArray("A4 A2"), failing), u"");
}

}  // namespace
}  // namespace pagelift
