#include <gtest/gtest.h>

#include "base/byte_array.h"
#include "base/errors.h"

namespace pagelift {
namespace {

TEST(ByteArray, ModelsUnsetEmptyNormalAndMarkerStates) {
  const ByteArray unset;
  EXPECT_FALSE(unset.IsSet());
  EXPECT_THROW(unset.UBound(), SubscriptError);
  EXPECT_THROW(unset.LBound(), SubscriptError);
  EXPECT_TRUE(unset.Data().empty());

  const ByteArray empty = ByteArray::Empty();
  EXPECT_TRUE(empty.IsSet());
  EXPECT_EQ(empty.LBound(), 0);
  EXPECT_EQ(empty.UBound(), -1);
  EXPECT_THROW(empty.At(0), SubscriptError);

  const ByteArray normal{0x41, 0x42};
  EXPECT_EQ(normal.LBound(), 0);
  EXPECT_EQ(normal.UBound(), 1);
  EXPECT_EQ(normal.At(1), 0x42);
  EXPECT_THROW(normal.At(2), SubscriptError);
  EXPECT_THROW(normal.At(-1), SubscriptError);

  const ByteArray marker = ByteArray::Marker();
  EXPECT_TRUE(marker.IsMarker());
  EXPECT_EQ(marker.LBound(), -1);
  EXPECT_EQ(marker.UBound(), -1);
  EXPECT_EQ(marker.At(-1), 0);
  EXPECT_THROW(marker.At(0), SubscriptError);
  EXPECT_TRUE(marker.Data().empty());
  EXPECT_EQ(marker.Elements().size(), 1u);

  EXPECT_NE(unset, empty);
  EXPECT_NE(empty, marker);
}

}  // namespace
}  // namespace pagelift
