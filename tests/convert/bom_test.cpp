#include <gtest/gtest.h>

#include "base/errors.h"
#include "convert/bom.h"
#include "support/bytes.h"

namespace pagelift {
namespace {

using test::HexArray;

const ByteArray kUtf16Mark{0xFF, 0xFE};
const ByteArray kUtf8Mark{0xEF, 0xBB, 0xBF};

struct CutCase {
  const char* bytes;
  ByteArray mark;
  const char* expected;  // nullptr: the marker array
};

TEST(CutBOM, RemovesEveryWholeOccurrenceLeftToRight) {
  const CutCase cases[] = {
      {"FF FE 41 00", kUtf16Mark, "41 00"},
      {"41 00 FF FE 42 00", kUtf16Mark, "41 00 42 00"},
      {"41 FF FE 00", kUtf16Mark, "41 00"},  // at an odd position too
      {"FF FF FE", kUtf16Mark, "FF"},
      {"41 FF", kUtf16Mark, "41 FF"},  // the mark would run past the end
      {"FF FE FE", kUtf16Mark, "FE"},
      {"EF BB BF EF BB BF 41", kUtf8Mark, "41"},
      {"41 EF BB BF", kUtf8Mark, "41"},
      {"EF BB", kUtf8Mark, "EF BB"},  // two bytes, three-byte mark
      {"EF EF BB BF BB", kUtf8Mark, "EF BB"},
      {"FF FE", kUtf16Mark, nullptr},
      {"FF FE FF FE", kUtf16Mark, nullptr},
      {"", kUtf16Mark, nullptr},
  };
  for (const CutCase& c : cases) {
    const ByteArray expected = c.expected ? HexArray(c.expected) : ByteArray::Marker();
    EXPECT_EQ(CutBOM(HexArray(c.bytes), c.mark), expected) << c.bytes;
  }
  EXPECT_EQ(CutBOM(ByteArray::Marker(), kUtf16Mark), ByteArray::Marker());
}

TEST(CutBOM, LeavesItsArgumentsAsTheyWere) {
  const ByteArray bytes = HexArray("FF FE 41 00");
  const ByteArray copy = bytes;
  CutBOM(bytes, kUtf16Mark);
  EXPECT_EQ(bytes, copy);
}

TEST(AddBOM, PutsTheMarkInFrontAlways) {
  EXPECT_EQ(AddBOM(HexArray("41"), kUtf8Mark), HexArray("EF BB BF 41"));
  EXPECT_EQ(AddBOM(ByteArray::Empty(), kUtf8Mark), kUtf8Mark);
  EXPECT_EQ(AddBOM(ByteArray::Marker(), kUtf16Mark), kUtf16Mark);
  EXPECT_EQ(AddBOM(HexArray("EF BB BF 41"), kUtf8Mark), HexArray("EF BB BF EF BB BF 41"));
}

TEST(ByteOrderMarks, RefuseUnsetArraysAndMarksWithoutBytes) {
  EXPECT_THROW(CutBOM(ByteArray(), kUtf16Mark), SubscriptError);
  EXPECT_THROW(CutBOM(HexArray("41"), ByteArray()), SubscriptError);
  EXPECT_THROW(AddBOM(ByteArray(), kUtf16Mark), SubscriptError);
  EXPECT_THROW(AddBOM(HexArray("41"), ByteArray()), SubscriptError);
  EXPECT_THROW(CutBOM(HexArray("41"), ByteArray::Empty()), ArgumentError);
  EXPECT_THROW(CutBOM(HexArray("41"), ByteArray::Marker()), ArgumentError);
  EXPECT_THROW(AddBOM(HexArray("41"), ByteArray::Empty()), ArgumentError);
}

}  // namespace
}  // namespace pagelift
