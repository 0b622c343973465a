#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
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

TEST(JudgePage, NamesTodaysPagesByTheirCode) {
  const std::string item = std::string("<item><title>") + kEuc +
                           "</title><dc:date>2024-05-01T10:00:00+09:00</dc:date></item>\n";
  const std::string utf8_page = AsciiHead() + kUtf8;
  const struct {
    const char* what;
    std::string page;
    std::string_view expected;
  } cases[] = {
      {"UTF-8 after a long head", utf8_page, "UTF8"},
      {"EUC-JP after a long head", AsciiHead() + kEuc, "EUC"},
      {"ISO-2022-JP after a long head", AsciiHead() + kJis, "JIS"},
      {"Shift_JIS after a long head", AsciiHead() + kSjis, "SJIS"},
      {"UTF-8 tied with Shift_JIS", std::string("<p>") + kNotice + "</p>", "UTF8"},
      {"Shift_JIS well-formed as UTF-8 only at first", Repeated(kNotice, 100) + "\x82\xC5\x82\xB7",
       "SJIS"},
      {"EUC-JP feed with +09:00 dates", Repeated(item, 20), "EUC"},
      {"UTF-8 cut in its last character", std::string("<p>") + kNotice + std::string(kNotice, 11),
       "UTF8"},
      {"7-bit UTF-7", "+ZeVnLIqe-: a+b-c +MKswjDCI-", "UTF7"},
      {"UTF-16 after a long head", Repeated(std::string("<\0p\0>\0", 6), 200) + "\xE5\x65\x2C\x67",
       "UNICODE"},
      {"plain 7-bit text", AsciiHead(), "SJIS"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JudgePageInDetail(BytesOf(c.page)).code, c.expected) << c.what;
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

}  // namespace
}  // namespace pagelift
