#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "judge/double_byte_form.h"
#include "judge/judge_page.h"
#include "judge/utf8_form.h"
#include "support/bytes.h"
#include "support/utf8_reference.h"

namespace pagelift {
namespace {

// Over 1000 bytes of 7-bit markup, as a page's head of scripts and preloads is.
std::string AsciiHead() {
  std::string head = "<html><head>";
  for (int i = 0; i < 24; ++i)
    head += "<link rel=\"preload\" href=\"/static/app.js\" as=\"script\">\n";
  return head;
}

std::string Repeated(const std::string& unit, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += unit;
  return out;
}

PageBytes BytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// "<p>日本語のページです。</p>" in each code.
constexpr char kUtf8[] =
    "<p>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8"
    "\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82</p>";
constexpr char kEuc[] =
    "<p>\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xDA\xA1\xBC\xA5\xB8\xA4\xC7\xA4\xB9\xA1\xA3</p>";
constexpr char kJis[] = "<p>\x1B$BF|K\\8l$N%Z!<%8$G$9!#\x1B(B</p>";
constexpr char kSjis[] =
    "<p>\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x79\x81\x5B\x83\x57\x82\xC5\x82\xB7\x81\x42</p>";
// "お知らせ" in UTF-8: every pair of it is also a Shift_JIS character, and the two judges tie.
constexpr char kNotice[] = "\xE3\x81\x8A\xE7\x9F\xA5\xE3\x82\x89\xE3\x81\x9B";

// The mends that applied, by number: "13" for the first and the third.
std::string MendsOf(const PageJudgement& judgement) {
  std::string mends;
  if (judgement.window_start != 0) mends += '1';
  if (judgement.not_utf7) mends += '2';
  if (judgement.well_formed_utf8) mends += '3';
  if (judgement.euc_by_whole_page) mends += '4';
  return mends;
}

TEST(JudgePage, NamesTodaysPagesByTheirCode) {
  const std::string item = std::string("<item><title>") + kEuc +
                           "</title><dc:date>2024-05-01T10:00:00+09:00</dc:date></item>\n";
  // Few EUC-JP bytes in a "+" run: the window scores best as UTF-7.
  const std::string link_item =
      "<item><title>\xC6\xFC\xCB\xDC</title><link>http://example.jp/news/2024/0501/"
      "article12345.html</link><dc:date>2024-05-01T10:00:00+09:00</dc:date></item>\n";
  const std::string utf8_page = AsciiHead() + kUtf8;
  const struct {
    const char* what;
    std::string page;
    std::string_view expected;
    std::string mends;  // MendsOf the judgement
  } cases[] = {
      {"UTF-8 after a long head", utf8_page, "UTF8", "1"},
      {"EUC-JP after a long head", AsciiHead() + kEuc, "EUC", "1"},
      {"ISO-2022-JP after a long head", AsciiHead() + kJis, "JIS", "1"},
      {"Shift_JIS after a long head", AsciiHead() + kSjis, "SJIS", "1"},
      {"UTF-8 tied with Shift_JIS", std::string("<p>") + kNotice + "</p>", "UTF8", "3"},
      {"Shift_JIS well-formed as UTF-8 only at first", Repeated(kNotice, 100) + "\x82\xC5\x82\xB7",
       "SJIS", ""},
      {"EUC-JP feed with +09:00 dates", Repeated(item, 20), "EUC", ""},
      {"EUC-JP feed with +09:00 dates and links", Repeated(link_item, 20), "EUC", "2"},
      {"EUC-JP among 7-bit text, tied with Shift_JIS", "<p>\xC6\xFC\xCB\xDC</p>" + AsciiHead(),
       "EUC", "4"},
      {"Shift_JIS among 7-bit text, tied with EUC-JP", "<p>\x93\xFA</p>" + AsciiHead(), "SJIS", ""},
      {"UTF-8 cut in its last character", std::string("<p>") + kNotice + std::string(kNotice, 11),
       "UTF8", "3"},
      {"7-bit UTF-7", "+ZeVnLIqe-: a+b-c +MKswjDCI-", "UTF7", ""},
      {"UTF-16 after a long head", Repeated(std::string("<\0p\0>\0", 6), 200) + "\xE5\x65\x2C\x67",
       "UNICODE", ""},
      {"UTF-16 with the big-endian mark", std::string("\xFE\xFF\0<\0p\0>\x65\xE5", 10), "UTF16BE",
       ""},
      {"UTF-16 with both marks", std::string("\xFF\xFE<\0\xFE\xFF", 6), "UNICODE", ""},
      {"plain 7-bit text", AsciiHead(), "SJIS", ""},
  };
  for (const auto& c : cases) {
    const PageJudgement judgement = JudgePageInDetail(BytesOf(c.page));
    EXPECT_EQ(judgement.code, c.expected) << c.what;
    EXPECT_EQ(MendsOf(judgement), c.mends) << c.what;
  }
  EXPECT_EQ(JudgePageInDetail(BytesOf(utf8_page)).window_start,
            AsciiHead().size() + 3);  // after "<p>"
  EXPECT_THROW(JudgePage(ByteArray::Empty()), EmptyArrayError);
}

TEST(ReadUtf8Form, AgreesWithTheConverterOnEverySequenceOfUpToFourBytes) {
  // Every lead with every second byte, and a spread of third and fourth bytes.
  const std::uint8_t tails[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int second = 0; second <= 0xFF; ++second) {
      for (std::uint8_t third : tails) {
        for (std::uint8_t fourth : tails) {
          const std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(lead),
                                                   static_cast<std::uint8_t>(second), third, fourth,
                                                   'a'};
          const bool ours = ReadUtf8Form(bytes) != Utf8Form::kIllFormed;
          ASSERT_EQ(ours, test::ConverterReadsWellFormed(bytes)) << ByteArray(bytes);
        }
      }
    }
  }
}

TEST(ReadUtf8Form, AllowsOnlyAWellFormedBeginningCutOffAtTheEnd) {
  const struct {
    const char* hex;
    Utf8Form expected;
  } cases[] = {
      {"", Utf8Form::kSevenBit},
      {"41 42 43 44 45 46 47 48 49", Utf8Form::kSevenBit},
      {"41 E3 81 82", Utf8Form::kMultiByte},
      {"E3 81 82 E3 81", Utf8Form::kMultiByte},  // cut in the last character
      {"E3 81", Utf8Form::kSevenBit},            // a cut sequence alone is no sequence
      {"F0 9F 98", Utf8Form::kSevenBit},
      {"E3 81 82 E0 80", Utf8Form::kIllFormed},  // overlong even though cut
      {"E3 81 82 ED A0", Utf8Form::kIllFormed},  // a surrogate even though cut
      {"E3 81 82 F4 90", Utf8Form::kIllFormed},  // past U+10FFFF even though cut
      {"E3 81 41", Utf8Form::kIllFormed},
      {"41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 80", Utf8Form::kIllFormed},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadUtf8Form(test::Hex(c.hex)), c.expected) << c.hex;
}

TEST(ReadDoubleByteForm, TellsWhichOfShiftJisAndEucJpEveryByteFits) {
  const struct {
    const char* hex;
    bool shift_jis;
    bool euc_jp;
  } cases[] = {
      {"", true, true},
      {"41 0A 7F", true, true},
      {"93 FA 96 7B", true, false},  // "日本" in Shift_JIS
      {"C6 FC CB DC", false, true},  // "日本" in EUC-JP
      {"41 41 41 41 41 41 41 41 41 41 C6 FC", false, true},
      {"B1 B2", false, true},                    // half-width katakana in Shift_JIS
      {"8E B1", true, true},                     // half-width katakana in EUC-JP
      {"8F B0 A1", false, true},                 // JIS X 0212
      {"87 40 ED 40 FA 40 FC FC", true, false},  // NEC and IBM rows
      {"E4 A2 41", true, true},
      {"8F A1 E0 A1", true, true},  // Shift_JIS reads two pairs, EUC-JP three bytes and a cut one
      {"41 E4", true, true},        // cut off at the end
      {"82 7F", false, false},
      {"A1 41", false, false},
      {"80", false, false},
      {"8E E0", true, false},
      {"FD 41", false, false},
  };
  for (const auto& c : cases) {
    const DoubleByteForm form = ReadDoubleByteForm(test::Hex(c.hex));
    EXPECT_EQ(form.shift_jis, c.shift_jis) << c.hex;
    EXPECT_EQ(form.euc_jp, c.euc_jp) << c.hex;
  }
}

}  // namespace
}  // namespace pagelift
