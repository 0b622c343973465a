#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "convert/utf8_text.h"
#include "support/platform.h"
#include "support/text.h"
#include "support/utf8_reference.h"

namespace pagelift {
namespace {

std::u16string TextOf(std::string_view bytes) {
  return Utf8ToText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string Utf8Of(std::u16string_view text) {
  std::ostringstream out;
  WriteUtf8(out, text);
  return out.str();
}

TEST(Utf8, ReadsEachInvalidSequenceAsReplacementCharacters) {
  const struct {
    std::string_view bytes;
    std::u16string text;
  } cases[] = {
      {"a\xE3\x81\x82", u"aあ"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xEF\xBB\xBFz", u"\uFEFFz"},  // a mark is text here
      {"a\xFFz", u"a\uFFFDz"},
      {"\xE3\x81", u"\uFFFD"},        // cut short at the end
      {"\xE3\x81z", u"\uFFFDz"},      // cut short before ASCII
      {"\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong
      // An encoded surrogate: Windows takes its last two bytes for one bad sequence.
      {"\xED\xA0\x80", test::kWindows ? u"\uFFFD\uFFFD" : u"\uFFFD\uFFFD\uFFFD"},
      {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)},              // NUL is a character
      {"\xF0\x9F\x98\x80\x80\x80\xE3\x81\x82", u"\U0001F600\uFFFD\uFFFDあ"},  // strays
      {"\xC3\xE3\x81\x82\xF0\x9F", u"\uFFFDあ\uFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Shown(TextOf(c.bytes)), test::Shown(c.text));
    // Read in pieces of one byte, and in two pieces cut anywhere: the same text.
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
    Utf8Reader bytewise;
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytewise.Read(bytes.subspan(i, 1), i + 1 == bytes.size(), text);
    }
    EXPECT_EQ(test::Shown(text), test::Shown(c.text)) << "bytewise";
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      Utf8Reader reader;
      text.clear();
      reader.Read(bytes.first(cut), false, text);
      reader.Read(bytes.subspan(cut), true, text);
      EXPECT_EQ(test::Shown(text), test::Shown(c.text)) << "cut at " << cut;
    }
  }
}

TEST(Utf8, WritesUnpairedSurrogatesAsReplacementCharacters) {
  const char16_t text[] = {u'a', 0xD83D, u'z', 0xDE00, 0xD83D, 0xDE00, 0xD83D};
  const std::u16string_view whole(text, std::size(text));
  const std::string expected = "a\xEF\xBF\xBDz\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD";
  EXPECT_EQ(Utf8Of(whole), expected);
  // Written in two parts, cut anywhere, a pair stays a pair.
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    std::ostringstream out;
    Utf8Writer writer(out);
    writer.Write(whole.substr(0, cut));
    writer.Write(whole.substr(cut));
    writer.Finish();
    EXPECT_EQ(out.str(), expected) << cut;
  }
}

TEST(Utf8, ConvertsRandomTextsBothWaysExactlyAsTheConverterDoesWhole) {
  if (test::UnderWine()) {
    GTEST_SKIP() << "Wine's UTF-8 decoder reads a cut four-byte sequence by what follows "
                    "it (F4 7F as one U+FFFD, the 7F lost), so no text read in parts matches it";
  }
  // ASCII runs are copied and the converter converts what lies between them: the same as
  // the converter alone.
  std::mt19937 engine(20261207);
  const std::uint8_t bytes[] = {0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC2, 0xC3, 0xE3,
                                0xED, 0xEF, 0xF0, 0xF4, 0xF8, 0xFF, 0x81, 0xA0};
  const char16_t units[] = {0x0041, 0x007F, 0x0080, 0x3042, 0xD83D, 0xDE00, 0xFFFD, 0x0000};
  std::uniform_int_distribution<std::size_t> size(0, 40);
  for (int i = 0; i < 3000; ++i) {
    std::string utf8;
    std::u16string text;
    for (std::size_t n = size(engine); n > 0; --n) {
      utf8.push_back(static_cast<char>(bytes[engine() % std::size(bytes)]));
      text.push_back(units[engine() % std::size(units)]);
    }
    const std::u16string converter_text = test::ConverterText(utf8);
    const std::string converter_utf8 = test::ConverterUtf8(text);
    ASSERT_EQ(test::Shown(TextOf(utf8)), test::Shown(converter_text))
        << testing::PrintToString(utf8);
    ASSERT_EQ(Utf8Of(text), converter_utf8) << test::Shown(text);
  }
  // A text long enough to be read in steps, with sequences and runs of continuations
  // across their ends.
  std::string long_utf8;
  for (int n = 0; n < 300000; ++n) long_utf8.push_back(static_cast<char>(bytes[engine() % 16]));
  EXPECT_EQ(TextOf(long_utf8), test::ConverterText(long_utf8));
}

TEST(Utf8, KeepsLongTextAndPairsAcrossItsPiecesWhole) {
  // The writer works in pieces of 65,536 units: put a pair across that boundary.
  for (std::size_t before : {65535u, 65536u, 65534u, 200000u}) {
    const std::u16string text = std::u16string(before, u'x') + u"\U0001F600" + u"end";
    const std::string expected = std::string(before, 'x') + "\xF0\x9F\x98\x80" + "end";
    EXPECT_EQ(Utf8Of(text), expected) << before;
    EXPECT_EQ(TextOf(expected), text) << before;
  }
}

}  // namespace
}  // namespace pagelift
