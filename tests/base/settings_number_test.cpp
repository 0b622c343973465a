#include <gtest/gtest.h>

#include "base/settings_number.h"

namespace pagelift {
namespace {

TEST(NumberOfText, ReadsTheLeadingDecimalNumber) {
  const struct {
    std::u16string_view text;
    double expected;
  } cases[] = {
      {u"80", 80}, {u"10.5", 10.5}, {u"80abc", 80}, {u"abc", 0},  {u"", 0},
      {u"-5", -5}, {u"0", 0},       {u" 42", 42},   {u".5", 0.5}, {u"1.2.3", 1.2},
      {u"+7x", 7}, {u"８０", 0},    {u"100", 100},  {u"-", 0},    {u"0.25", 0.25},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(NumberOfText(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace pagelift
