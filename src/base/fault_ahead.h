#pragma once

#include <cstddef>
#include <cstdint>

namespace pagelift {

// Faults in the pages of [start, start + bytes) at once, for memory about to be written.
// Where the system offers no such call this does nothing: the pages fault in as written.
void FaultIn(const void* start, std::size_t bytes);

// Fresh memory costs a fault a page when it is first written, and on a large page the
// faults of the tree and the text come to a tenth of the time. One buffer that is written
// front to back is faulted in ahead of the writing instead, a stretch at a time, one call
// a stretch. A buffer that has not yet reached a stretch is left alone, so that a small
// page faults in no more than it writes, and a large one at most a stretch more.
class FaultAhead {
 public:
  static constexpr std::size_t kStretch = std::size_t{256} << 10;

  // The writing is about to go on from `at`, in the buffer [start, room_end).
  void Reach(const void* start, const void* at, const void* room_end) {
    const auto here = reinterpret_cast<std::uintptr_t>(at);
    if (here < end_ && reinterpret_cast<std::uintptr_t>(start) == start_) return;
    Next(reinterpret_cast<std::uintptr_t>(start), here, reinterpret_cast<std::uintptr_t>(room_end));
  }

 private:
  void Next(std::uintptr_t start, std::uintptr_t at, std::uintptr_t room_end);

  std::uintptr_t start_ = 0;
  std::uintptr_t end_ = 0;  // faulted in, or left alone, up to here
};

}  // namespace pagelift
