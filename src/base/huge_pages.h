#pragma once

#include <cstddef>

namespace pagelift {

// A large buffer costs mostly the faulting in of its fresh memory, page by page. Asks the
// system to back the whole 2 MB stretches of [start, start + bytes) with huge pages, where
// it offers them; elsewhere this does nothing. The contents stay as they are.
void AdviseHugePages(const void* start, std::size_t bytes);

// Room for `capacity` elements in `buffer` (a vector or a string), advised as above.
template <typename Buffer>
void ReserveLarge(Buffer& buffer, std::size_t capacity) {
  buffer.reserve(capacity);
  AdviseHugePages(buffer.data(), buffer.capacity() * sizeof(*buffer.data()));
}

}  // namespace pagelift
