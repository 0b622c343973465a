#include <gtest/gtest.h>

#include "text/unicode_tables.h"

namespace pagelift {
namespace {

// Rows read from LineBreak.txt and EastAsianWidth.txt of Unicode 15.0.0, planes 0 to 3,
// one default range or more of each file among them.
TEST(UnicodeTables, AgreeWithTheFiles) {
  using C = LineBreakClass;
  const struct {
    char32_t c;
    LineBreakClass line_break;
    bool wide;  // East_Asian_Width W or F
  } cases[] = {
      {U' ', C::kSP, false},     {U'(', C::kOP, false},     {U'9', C::kNU, false},
      {U'\t', C::kBA, false},    {U'\r', C::kCR, false},    {0x00A0, C::kGL, false},
      {0x00A7, C::kAI, false},   {0x05D0, C::kHL, false},   {0x0E01, C::kSA, false},
      {0x200D, C::kZWJ, false},  {0x2014, C::kB2, false},   {0x20C1, C::kPR, false},
      {0x3000, C::kBA, true},    {0x3001, C::kCL, true},    {0x3002, C::kCL, true},
      {0x300C, C::kOP, true},    {0x300D, C::kCL, true},    {0x3005, C::kNS, true},
      {0x3041, C::kCJ, true},    {0x3042, C::kID, true},    {0x30FB, C::kNS, true},
      {0x30FC, C::kCJ, true},    {0x4E00, C::kID, true},    {0x9FFF, C::kID, true},
      {0xAC00, C::kH2, true},    {0xD800, C::kSG, false},   {0xFF01, C::kEX, true},
      {0xFF08, C::kOP, true},    {0xFF0C, C::kCL, true},    {0xFF5E, C::kID, true},
      {0xFF62, C::kOP, false},   {0xFF71, C::kID, false},   {0xFFFD, C::kAI, false},
      {0x1F1E6, C::kRI, false},  {0x1F3FB, C::kEM, true},   {0x1F466, C::kEB, true},
      {0x1F600, C::kID, true},   {0x1FFFD, C::kID, false},  {0x20000, C::kID, true},
      {0x2FFFD, C::kID, true},   {0x3FFFD, C::kID, true},   {0xE0001, C::kCM, false},
      {0x10FFFF, C::kXX, false}, {0x110000, C::kXX, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LineBreakClassOf(c.c), c.line_break) << std::hex << "U+" << +c.c;
    EXPECT_EQ(IsEastAsianWide(c.c), c.wide) << std::hex << "U+" << +c.c;
  }
  EXPECT_STREQ(unicode_data::kVersion, "15.0.0");
}

}  // namespace
}  // namespace pagelift
