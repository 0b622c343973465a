#include <sys/mman.h>

#include <cstdint>

#include "base/huge_pages.h"

namespace pagelift {

void AdviseHugePages(const void* start, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = 2u << 20;
  if (bytes < 2 * kHuge) return;
  const auto at = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t first = (at + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t last = (at + bytes) & ~(kHuge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace pagelift
