#include "html/named_entities.h"

#include <algorithm>
#include <iterator>

namespace pagelift::html {
namespace {

constexpr NamedEntity kNamedEntities[] = {
#include "html/named_entities.inc"
};

constexpr std::size_t LongestName() {
  std::size_t longest = 0;
  for (const NamedEntity& entity : kNamedEntities) longest = std::max(longest, entity.name.size());
  return longest;
}
static_assert(LongestName() == kLongestEntityName);

}  // namespace

const NamedEntity* LongestNamedEntity(const char16_t* at, const char16_t* end,
                                      std::size_t& length) {
  // The names that start with what has been read so far are one run of the sorted table;
  // each further unit narrows it. A name that is exactly what has been read sorts first.
  const NamedEntity* lo = std::begin(kNamedEntities);
  const NamedEntity* hi = std::end(kNamedEntities);
  const NamedEntity* found = nullptr;
  for (std::size_t k = 0; at + k < end && at[k] < 0x80; ++k) {
    const char c = static_cast<char>(at[k]);
    if (c == '\0') break;  // no name holds one; the short names' key below
    const auto key = [k](const NamedEntity& e) { return e.name.size() > k ? e.name[k] : '\0'; };
    lo = std::partition_point(lo, hi, [&](const NamedEntity& e) { return key(e) < c; });
    hi = std::partition_point(lo, hi, [&](const NamedEntity& e) { return key(e) == c; });
    if (lo == hi) break;
    if (lo->name.size() == k + 1) {
      found = lo;
      length = k + 1;
    }
  }
  return found;
}

}  // namespace pagelift::html
