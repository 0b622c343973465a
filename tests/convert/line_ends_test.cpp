#include <gtest/gtest.h>

#include <string>

#include "convert/line_ends.h"

namespace pagelift {
namespace {

TEST(CheckCrLf, AnswersLfOnlyForLfWithoutCrLf) {
  EXPECT_EQ(CheckCrLf(u""), u"\r\n");
  EXPECT_EQ(CheckCrLf(u"abc"), u"\r\n");
  EXPECT_EQ(CheckCrLf(u"a\rb"), u"\r\n");
  EXPECT_EQ(CheckCrLf(u"a\r\nb\nc"), u"\r\n");
  EXPECT_EQ(CheckCrLf(u"a\nb"), u"\n");
  EXPECT_EQ(CheckCrLf(u"a\n\rb"), u"\n");
}

TEST(ChangeCrLfToLf, ReplacesPairsOnly) {
  EXPECT_EQ(ChangeCrLfToLf(u"a\r\nb\rc\n"), u"a\nb\rc\n");
  EXPECT_EQ(ChangeCrLfToLf(u"\r\r\n\n"), u"\r\n\n");
  EXPECT_EQ(ChangeCrLfToLf(u""), u"");
  EXPECT_EQ(ChangeCrLfToLf(u"\r"), u"\r");
}

TEST(ChangeLfToCrLf, MakesEveryLineEndCrLfOnce) {
  EXPECT_EQ(ChangeLfToCrLf(u"a\nb\r\nc\rd"), u"a\r\nb\r\nc\rd");
  EXPECT_EQ(ChangeLfToCrLf(u"\r\r\n"), u"\r\r\n");
  EXPECT_EQ(ChangeLfToCrLf(u""), u"");
  EXPECT_EQ(ChangeLfToCrLf(u"\n\n"), u"\r\n\r\n");
  EXPECT_EQ(ChangeLfToCrLf(u"あ\nい\r"), u"あ\r\nい\r");
}

}  // namespace
}  // namespace pagelift
