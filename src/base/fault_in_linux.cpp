#include <sys/mman.h>

#include <cstdint>

#include "base/fault_ahead.h"

namespace pagelift {

void FaultIn(const void* start, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
  constexpr int kPopulateWrite = 23;  // the headers may be older than the kernel
#endif
  constexpr std::uintptr_t kPage = 4096;
  const auto at = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t first = at & ~(kPage - 1);
  const std::uintptr_t last = (at + bytes + kPage - 1) & ~(kPage - 1);
  // Faulting in changes no byte. A kernel older than 5.14 refuses the advice, and the pages
  // fault in one by one as before.
  madvise(reinterpret_cast<void*>(first), last - first, kPopulateWrite);
}

}  // namespace pagelift
