#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "convert/utf8_text.h"
#include "support/text.h"

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
      {"\xE3\x81", u"\uFFFD"},                                    // cut short at the end
      {"\xE3\x81z", u"\uFFFDz"},                                  // cut short before ASCII
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                              // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},                    // an encoded surrogate
      {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)},  // NUL is a character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Shown(TextOf(c.bytes)), test::Shown(c.text));
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
