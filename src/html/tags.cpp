#include "html/tags.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace pagelift::html {
namespace {

constexpr std::u16string_view kNames[] = {u"",
#define PAGELIFT_HTML_TAG_NAME(id, name) u"" name,
                                          PAGELIFT_HTML_TAGS(PAGELIFT_HTML_TAG_NAME)
#undef PAGELIFT_HTML_TAG_NAME
};
static_assert(std::size(kNames) == static_cast<std::size_t>(Tag::kTagCount));

constexpr std::size_t kSlots = 512;

// A name's first four units in one number, with its length: all of a name up to four long,
// which most tags are, so that a lookup mostly compares two numbers.
constexpr std::uint64_t KeyOf(std::u16string_view name) {
  std::uint64_t key = name.size();
  for (std::size_t k = 0; k < name.size() && k < 4; ++k) {
    key |= std::uint64_t{name[k]} << (8 + 14 * k);  // tag letters are below 0x4000
  }
  return key;
}

constexpr std::size_t SlotOf(std::uint64_t key) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 55);  // 9 bits: 512 slots
}

// Open addressing: every name's key leads to a slot; a collision takes the next free one.
struct Slots {
  std::array<std::uint64_t, kSlots> key{};
  std::array<std::uint8_t, kSlots> tag{};
  constexpr Slots() {
    for (std::size_t t = 1; t < std::size(kNames); ++t) {
      const std::uint64_t k = KeyOf(kNames[t]);
      std::size_t at = SlotOf(k);
      while (tag[at] != 0) at = (at + 1) % kSlots;
      key[at] = k;
      tag[at] = static_cast<std::uint8_t>(t);
    }
  }
};
static_assert(std::size(kNames) < 256);
constexpr Slots kSlotTable;

}  // namespace

Tag TagOf(std::u16string_view name) {
  if (name.empty() || name.size() > 14) return Tag::kUnknown;
  std::uint64_t key = name.size();
  for (std::size_t k = 0; k < name.size() && k < 4; ++k) {
    if (name[k] >= 0x4000) return Tag::kUnknown;  // no known name has such a unit
    key |= std::uint64_t{name[k]} << (8 + 14 * k);
  }
  for (std::size_t at = SlotOf(key);; at = (at + 1) % kSlots) {
    const std::uint8_t t = kSlotTable.tag[at];
    if (t == 0) return Tag::kUnknown;
    if (kSlotTable.key[at] != key) continue;
    // The rest of a longer name, unit by unit.
    const std::u16string_view known = kNames[t];
    std::size_t k = 4;
    while (k < name.size() && name[k] == known[k]) ++k;
    if (k >= name.size()) return static_cast<Tag>(t);
  }
}

std::u16string_view NameOf(Tag tag) {
  const auto t = static_cast<std::size_t>(tag);
  return t < std::size(kNames) ? kNames[t] : std::u16string_view();
}

int HeadingLevel(Tag tag) {
  static_assert(static_cast<int>(Tag::kH6) - static_cast<int>(Tag::kH1) == 5,
                "<h1> to <h6> are numbered in a row");
  return tag >= Tag::kH1 && tag <= Tag::kH6 ? static_cast<int>(tag) - static_cast<int>(Tag::kH1) + 1
                                            : 0;
}

}  // namespace pagelift::html
