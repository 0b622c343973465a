#include "html/tags.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace pagelift::html {
namespace {

constexpr std::u16string_view kNames[] = {u"",
#define PAGELIFT_HTML_TAG_NAME(id, name) u"" name,
                                          PAGELIFT_HTML_TAGS(PAGELIFT_HTML_TAG_NAME)
#undef PAGELIFT_HTML_TAG_NAME
};
static_assert(std::size(kNames) == static_cast<std::size_t>(Tag::kTagCount));

constexpr std::size_t kSlots = 512;

// From the length and three letters: cheap, and the known names spread well enough.
constexpr std::size_t Hash(std::u16string_view name) {
  const std::size_t n = name.size();
  return (n * 131 + name[0] * 31 + name[n - 1] * 7 + name[n / 2] * 3) % kSlots;
}

// Open addressing: every name hashes to a slot; a collision takes the next free one.
struct Slots {
  std::array<std::uint8_t, kSlots> tag{};
  constexpr Slots() {
    for (std::size_t t = 1; t < std::size(kNames); ++t) {
      std::size_t at = Hash(kNames[t]);
      while (tag[at] != 0) at = (at + 1) % kSlots;
      tag[at] = static_cast<std::uint8_t>(t);
    }
  }
};
static_assert(std::size(kNames) < 256);
constexpr Slots kSlotTable;

}  // namespace

Tag TagOf(std::u16string_view name) {
  if (name.empty() || name.size() > 14) return Tag::kUnknown;
  for (std::size_t at = Hash(name);; at = (at + 1) % kSlots) {
    const std::uint8_t t = kSlotTable.tag[at];
    if (t == 0) return Tag::kUnknown;
    if (kNames[t].size() == name.size() &&
        std::memcmp(kNames[t].data(), name.data(), name.size() * sizeof(char16_t)) == 0) {
      return static_cast<Tag>(t);
    }
  }
}

std::u16string_view NameOf(Tag tag) {
  const auto t = static_cast<std::size_t>(tag);
  return t < std::size(kNames) ? kNames[t] : std::u16string_view();
}

}  // namespace pagelift::html
