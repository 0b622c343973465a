#include "settings/profile.h"

#include <gtest/gtest.h>

#include <random>

#include "settings/cp932.h"
#include "support/files.h"
#include "support/platform.h"

namespace pagelift {
namespace {

using test::FileBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(ProfileText, ReadsValuesAsIniFilesAreRead) {
  const ProfileText file(
      "; CODE=from a comment\r\n"
      "[Other]\r\nCODE=other section\r\n"
      "  [ setting ]  \r\n"
      "code =  SJIS \t\r\n"
      ";PROXY=commented out\r\n"
      "Proxy=\r\n"
      "URL1=first\r\n"
      "url1=second\r\n"
      "URL2\r\n"
      "MAXCHAR=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"
      "\x83\x61=second byte looks like \"a\"\r\n"
      "BAD=a\x82 b\xfd\r\n"
      "Q1= \"proxy.example.jp:8080\" \r\nQ2='x'\r\nQ3=\"x'\r\nQ4=\"\r\nQ5=\"\"a\"\"\r\n"
      "[Tail]\r\nURL3=tail\r\n");
  const struct {
    std::u16string_view key;
    std::optional<std::u16string> value;
  } cases[] = {
      {u"CODE", u"SJIS"},         // section and key in any case, blanks trimmed
      {u"PROXY", u""},            // an empty value is a value
      {u"URL1", u"first"},        // the first of two
      {u"URL2", std::nullopt},    // no "="
      {u"URL3", std::nullopt},    // in the next section
      {u"MAXCHAR", u"自動判定"},  // code page 932
      {u"ア", std::nullopt},      // 83 41, which folds like 83 61 byte by byte
      {u"ヂ", u"second byte looks like \"a\""},
      // Bad bytes do not stop the reading; Windows reads them as its code page does.
      {u"BAD", test::kWindows ? u"a・b\uF8F1" : u"a\uFFFD b\uFFFD"},
      {u"Q1", u"proxy.example.jp:8080"},  // one pair of matching quotes is dropped
      {u"Q2", u"x"},
      {u"Q3", u"\"x'"},
      {u"Q4", u"\""},
      {u"Q5", u"\"a\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(file.Get(u"Setting", c.key), c.value)
        << testing::PrintToString(std::u16string(c.key));
  }
  EXPECT_EQ(file.Get(u"Missing", u"CODE"), std::nullopt);
}

TEST(ProfileText, CutsLongValuesTo1023Bytes) {
  const std::string hiragana_a = "\x82\xa0";  // "あ"
  std::string double_bytes;
  for (int i = 0; i < 750; ++i) double_bytes += hiragana_a;
  const struct {
    std::string value;
    std::u16string expected;
  } cases[] = {
      {std::string(1500, 'x'), std::u16string(1023, u'x')},
      {std::string(1023, 'x'), std::u16string(1023, u'x')},
      // Not cut, so a lead byte without its partner at the end is read as it stands.
      {std::string(1022, 'x') + "\x82", DecodeCp932(std::string(1022, 'x') + "\x82")},
      // 1,023 bytes end in the middle of the 512th character: it is left out whole.
      {double_bytes, std::u16string(511, u'あ')},
  };
  for (const auto& c : cases) {
    const ProfileText file("[Setting]\r\nURL1=" + c.value + "\r\n");
    EXPECT_EQ(file.Get(u"Setting", u"URL1"), c.expected) << c.value.size() << " bytes";
  }
}

TEST(ProfileText, WritesOneKeyAndKeepsEveryOtherLine) {
  const struct {
    std::string before;
    std::u16string_view key;
    std::u16string_view value;
    std::string after;
  } cases[] = {
      // A new file: CR LF, code page 932.
      {"", u"CODE", u"自動判定", "[Setting]\r\nCODE=\x8e\xa9\x93\xae\x94\xbb\x92\xe8\r\n"},
      // Replaced where it stands, in the file's spelling of the key.
      {"[setting]\r\ncode = SJIS\r\nURL1=a\r\n", u"CODE", u"JIS",
       "[setting]\r\ncode=JIS\r\nURL1=a\r\n"},
      // A new key after the section's last entry, before what leads into the next one.
      {"[Setting]\r\nCODE=x\r\n; note\r\n\r\n; next\r\n[Other]\r\nPROXY=1\r\n", u"PROXY", u"p",
       "[Setting]\r\nCODE=x\r\nPROXY=p\r\n; note\r\n\r\n; next\r\n[Other]\r\nPROXY=1\r\n"},
      {"[Setting]\r\nCODE=x\r\n;PROXY=old\r\n", u"PROXY", u"p",
       "[Setting]\r\nCODE=x\r\nPROXY=p\r\n;PROXY=old\r\n"},
      {"[Setting]", u"CODE", u"x", "[Setting]\r\nCODE=x\r\n"},
      // A new section at the end, in the file's own line ends.
      {"[Other]\nA=1", u"CODE", u"x", "[Other]\nA=1\n[Setting]\nCODE=x\n"},
      // A value stays on its line; what code page 932 cannot hold is written by best fit,
      // or as "?" where there is none.
      {"", u"URL1", u"a\r\nURL2=b\n", "[Setting]\r\nURL1=a  URL2=b \r\n"},
      // (Windows writes "?" for each half of the emoji.)
      {"", u"URL1", u"http://example.jp/😀¥",
       test::kWindows ? "[Setting]\r\nURL1=http://example.jp/??\\\r\n"
                      : "[Setting]\r\nURL1=http://example.jp/?\\\r\n"},
  };
  for (const auto& c : cases) {
    ProfileText file(c.before);
    file.Set(u"Setting", c.key, c.value);
    EXPECT_EQ(file.Bytes(), c.after) << c.before;
  }
}

TEST(ProfileText, AnyBytesAreReadAndKeptAsTheyWere) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    // Random bytes, with more of those that make up the lines of an INI file.
    std::string bytes(random() % 3000, '\0');
    for (char& byte : bytes) {
      byte = random() % 4 ? static_cast<char>(random()) : "[]=;\r\n \t"[random() % 8];
    }
    ProfileText file(bytes);
    EXPECT_EQ(file.Bytes(), bytes);
    file.Get(u"Setting", u"CODE");
    file.Set(u"Setting", u"URL1", u"http://example.jp/");
    file.Set(u"Setting", u"CODE", u"自動判定");
    EXPECT_EQ(file.Get(u"Setting", u"URL1"), u"http://example.jp/");
    EXPECT_EQ(file.Get(u"Setting", u"CODE"), u"自動判定");
  }
}

TEST(IniValueFile, ReadsWithDefaultsAndWritesInPlace) {
  const TempFolder folder;
  const auto path = folder / "pagelift.ini";
  EXPECT_EQ(GetIniValue(u"Setting", u"CODE", u"自動判定", path), u"自動判定");  // no file
  WriteBytes(path, "[Setting]\r\nPROXY=old\r\n");
  ASSERT_TRUE(WriteIniValue(u"Setting", u"PROXY", u"new", path));
  ASSERT_TRUE(WriteIniValue(u"Setting", u"CODE", u"SJIS", path));
  EXPECT_EQ(FileBytes(path), "[Setting]\r\nPROXY=new\r\nCODE=SJIS\r\n");
  EXPECT_EQ(GetIniValue(u"setting", u"code", u"自動判定", path), u"SJIS");
  EXPECT_EQ(GetIniValue(u"Setting", u"MAXCHAR", u"100", path), u"100");
  // A folder in the file's place reads as no file and cannot be written.
  EXPECT_EQ(GetIniValue(u"Setting", u"CODE", u"none", folder.path()), u"none");
  EXPECT_FALSE(WriteIniValue(u"Setting", u"CODE", u"SJIS", folder.path()));
}

}  // namespace
}  // namespace pagelift
