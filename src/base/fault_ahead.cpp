#include "base/fault_ahead.h"

#include <algorithm>

namespace pagelift {

void FaultAhead::Next(std::uintptr_t start, std::uintptr_t at, std::uintptr_t room_end) {
  start_ = start;
  if (at - start < kStretch) {
    end_ = start + kStretch;
    return;
  }
  end_ = std::min(at + kStretch, room_end);
  if (end_ > at) FaultIn(reinterpret_cast<const void*>(at), end_ - at);
}

}  // namespace pagelift
