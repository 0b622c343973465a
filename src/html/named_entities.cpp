#include "html/named_entities.h"

#include <algorithm>
#include <array>
#include <cstdint>
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

// For each ASCII unit, where the names that start with it begin in the sorted table; the
// next unit's entry is where they end. The first step of a lookup is then two reads.
constexpr auto kFirstUnitRuns = [] {
  std::array<std::uint16_t, 129> begin{};
  std::size_t at = 0;
  for (std::size_t c = 0; c < begin.size(); ++c) {
    while (at < std::size(kNamedEntities) &&
           static_cast<unsigned char>(kNamedEntities[at].name[0]) < c) {
      ++at;
    }
    begin[c] = static_cast<std::uint16_t>(at);
  }
  return begin;
}();
static_assert(std::size(kNamedEntities) < 0x10000);

}  // namespace

const NamedEntity* LongestNamedEntity(const char16_t* at, const char16_t* end,
                                      std::size_t& length) {
  // The names that start with what has been read so far are one run of the sorted table;
  // each further unit narrows it. A name that is exactly what has been read sorts first.
  if (at == end || at[0] >= 0x80) return nullptr;
  const NamedEntity* lo = std::begin(kNamedEntities) + kFirstUnitRuns[at[0]];
  const NamedEntity* hi = std::begin(kNamedEntities) + kFirstUnitRuns[at[0] + 1];
  const NamedEntity* found = nullptr;
  if (lo != hi && lo->name.size() == 1) {
    found = lo;
    length = 1;
  }
  for (std::size_t k = 1; lo != hi && at + k < end && at[k] < 0x80; ++k) {
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
