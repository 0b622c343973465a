#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>

#include "text/line_folder.h"

namespace pagelift::html {

// What carries over from one part of a page to the next: the scan's state and the line it
// has begun, which waits in the line's buffer.
struct OpenLine {
  static constexpr std::size_t kSlack = 8;  // read past a run's end by its copy

  explicit OpenLine(LineFolder& line_folder) : folder(line_folder) {}

  // The line's buffer, with room for what a part of `size` units adds to it. Each
  // character gives at most two (an LF in "<pre>" gives CR LF), so the scan of the part
  // needs no room checks.
  char16_t* RoomFor(std::size_t size) {
    const std::size_t needed = kept + 2 * size + kSlack;
    if (needed > capacity) {
      capacity = std::max(needed, 2 * capacity);
      std::unique_ptr<char16_t[]> larger(new char16_t[capacity]);
      std::copy(buffer.get(), buffer.get() + kept, larger.get());
      buffer = std::move(larger);
    }
    return buffer.get();
  }

  LineFolder& folder;
  std::unique_ptr<char16_t[]> buffer;
  std::size_t capacity = 0;
  std::size_t kept = 0;  // units of the line in `buffer`
  unsigned state = 0;    // see Reducer::state_
};

}  // namespace pagelift::html
