#include "app/single_instance.h"

#include <gtest/gtest.h>

namespace pagelift {
namespace {

// The expected names come from an FNV-1a written apart from this one (Python, over the
// key's UTF-16LE bytes): a name that changed between versions would let two copies run.
TEST(InstanceName, IsTheFnv1aHashOfTheKeysUtf16Bytes) {
  const struct {
    std::u16string_view key;
    std::u16string_view name;
  } cases[] = {
      {u"", u"Pagelift-cbf29ce484222325"},  // the offset basis itself
      {u"c:\\users\\taro\\pagelift\\pagelift.ini", u"Pagelift-d846a823c45ca5be"},
      {u"1000\n/home/taro/pagelift/pagelift.ini", u"Pagelift-693cd9302f5a6af1"},
      {u"1001\n/home/taro/pagelift/pagelift.ini", u"Pagelift-a67a5bf77ea5e750"},  // another user
      {u"D:\\設定\\Pagelift.ini", u"Pagelift-b1f74739952ec5ab"},  // the high bytes count
  };
  for (const auto& c : cases) EXPECT_EQ(InstanceName(c.key), c.name);
}

}  // namespace
}  // namespace pagelift
