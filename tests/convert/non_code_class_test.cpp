#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "convert/code_choice.h"
#include "convert/non_code_class.h"
#include "support/bytes.h"

namespace pagelift {
namespace {

using test::HexArray;

TEST(NonCodeClass, ModeIsZeroOrOneAndOverflowKeepsTheOldMode) {
  NonCodeClass codes;
  EXPECT_EQ(codes.FuncRogic(), 0);
  codes.FuncRogic(1);
  EXPECT_EQ(codes.FuncRogic(), 1);
  EXPECT_THROW(codes.FuncRogic(40000), OverflowError);
  EXPECT_EQ(codes.FuncRogic(), 1);
  EXPECT_THROW(codes.FuncRogic(-32769), OverflowError);
  for (std::int32_t mode : {2, 255, -1, 32767, -32768}) {
    codes.FuncRogic(1);
    codes.FuncRogic(mode);
    EXPECT_EQ(codes.FuncRogic(), 0) << mode;
  }
}

TEST(NonCodeClass, ReadsUtf16AfterCuttingEveryMark) {
  const NonCodeClass codes;
  const struct {
    const char* bytes;
    std::u16string expected;
  } cases[] = {
      {"FF FE 41 00 42 00", u"AB"},
      {"41 00 FF FE 42 00", u"AB"},
      {"FE FF 00 41", u"\uFFFE\u4100"},  // a big-endian mark is not recognised
      {"01 FF FE 30", u"\u3001"},        // a mark straddling two characters goes too
      {"FF FE", u""},
      {"41 00 42", u"A"},  // an odd last byte forms nothing
      {"", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(codes.UNICODE_To_VbUnicode(HexArray(c.bytes)), c.expected) << c.bytes;
}

TEST(NonCodeClass, WritesUtf16AndUtf8WithTheMarkOnlyWhenAsked) {
  NonCodeClass codes;
  EXPECT_EQ(codes.VbUnicode_To_UNICODE(u"AB", true), HexArray("FF FE 41 00 42 00"));
  EXPECT_EQ(codes.VbUnicode_To_UNICODE(u"AB", false), HexArray("41 00 42 00"));
  EXPECT_EQ(codes.VbUnicode_To_UNICODE(u"", false), ByteArray::Empty());
  EXPECT_EQ(codes.VbUnicode_To_UNICODE(u"", true), HexArray("FF FE"));
  for (std::int32_t mode : {0, 1}) {
    codes.FuncRogic(mode);
    EXPECT_EQ(codes.VbUnicode_To_UTF8(u"あ", true), HexArray("EF BB BF E3 81 82")) << mode;
    EXPECT_EQ(codes.VbUnicode_To_UTF8(u"あ", false), HexArray("E3 81 82")) << mode;
    EXPECT_EQ(codes.UTF8_To_VbUnicode(HexArray("EF BB BF E3 81 82")), u"あ") << mode;
    EXPECT_EQ(codes.UTF8_To_VbUnicode(HexArray("E3 81 EF BB BF 82")), u"あ") << mode;
  }
}

TEST(NonCodeClass, MarkerArrayAndUnsetArraysThroughTheMarkCuttingMembers) {
  NonCodeClass codes;
  for (std::int32_t mode : {0, 1}) {
    codes.FuncRogic(mode);
    EXPECT_EQ(codes.UNICODE_To_VbUnicode(ByteArray::Marker()), u"") << mode;
    EXPECT_EQ(codes.UTF8_To_VbUnicode(ByteArray::Marker()), u"") << mode;
    EXPECT_EQ(codes.UTF8_To_VbUnicode(HexArray("EF BB BF")), u"") << mode;
    EXPECT_THROW(codes.UNICODE_To_VbUnicode(ByteArray()), SubscriptError) << mode;
    EXPECT_THROW(codes.UTF8_To_VbUnicode(ByteArray()), SubscriptError) << mode;
  }
}

TEST(NonCodeClass, EmptyUtf8TextWithAMarkFailsInModeOneOnly) {
  NonCodeClass codes;
  EXPECT_EQ(codes.VbUnicode_To_UTF8(u"", true), HexArray("EF BB BF"));
  codes.FuncRogic(1);
  EXPECT_THROW(codes.VbUnicode_To_UTF8(u"", true), SubscriptError);
  EXPECT_EQ(codes.VbUnicode_To_UTF8(u"", false), ByteArray());
}

TEST(NonCodeClass, EucShowsTheMessageOncePerCallInModeOneOnly) {
  std::vector<std::u16string> shown;
  NonCodeClass codes([&shown](const std::u16string& text) { shown.push_back(text); });
  const ByteArray euc = HexArray("A4 A2 B4 C1");
  EXPECT_EQ(codes.EUC_To_VbUnicode(euc), u"あ漢");
  EXPECT_EQ(codes.VbUnicode_To_EUC(u"あ"), HexArray("A4 A2"));
  EXPECT_TRUE(shown.empty());
  codes.FuncRogic(1);
  EXPECT_EQ(codes.EUC_To_VbUnicode(euc), u"");
  EXPECT_EQ(shown, std::vector<std::u16string>{u"EUCはサポートされていません"});
  EXPECT_EQ(codes.VbUnicode_To_EUC(u"あ"), ByteArray());
  EXPECT_EQ(shown.size(), 2u);
}

TEST(NonCodeClass, NamesTheCodeAlikeInBothModesAndPassesOnTheJudgementsError) {
  NonCodeClass codes;
  const ByteArray page = HexArray("82 B1 82 F1 82 C9 82 BF 82 CD");  // こんにちは in Shift_JIS
  EXPECT_EQ(codes.GetCodeName(page), u"SJIS");
  codes.FuncRogic(1);
  EXPECT_EQ(codes.GetCodeName(page), u"SJIS");
  EXPECT_THROW(codes.GetCodeName(ByteArray::Empty()), EmptyArrayError);
}

TEST(CodeChoice, SelectsTheConversionByExactName) {
  const NonCodeClass codes;
  const ByteArray utf8 = HexArray("E3 81 82");  // あ in UTF-8, read as Shift_JIS otherwise
  const std::u16string as_sjis = codes.SJIS_To_VbUnicode(utf8);
  const struct {
    std::u16string_view name;
    std::u16string expected;
  } cases[] = {
      {u"UTF8", u"あ"},       {u"UTF-8", u"あ"}, {u"SJIS", as_sjis},      {u"utf-8", as_sjis},
      {u"自動判定", as_sjis}, {u"", as_sjis},    {u"UNICODE", u"\u81E3"}, {u"UTF16BE", u"\uE381"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeAsCode(codes, CodeNamed(c.name), utf8), c.expected)
        << testing::PrintToString(std::u16string(c.name));
  }
  EXPECT_EQ(CodeForChoice(std::nullopt, utf8), Code::kUTF8);
  EXPECT_EQ(CodeForChoice(std::nullopt, ByteArray::Empty()), Code::kSJIS);  // no judgement
  EXPECT_EQ(CodeForChoice(Code::kEUC, utf8), Code::kEUC);
}

}  // namespace
}  // namespace pagelift
