#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::InRange;
using judge_detail::ScanWindow;

namespace {

// Length of the sequence a lead byte announces, by its bit mask from the longest form
// down; 0 for a byte that leads nothing. Only the shape counts: overlong forms and
// values past U+10FFFF are accepted.
std::size_t SequenceLength(std::uint8_t byte) {
  if ((byte & 0xFC) == 0xFC) return 6;
  if ((byte & 0xF8) == 0xF8) return 5;
  if ((byte & 0xF0) == 0xF0) return 4;
  if ((byte & 0xE0) == 0xE0) return 3;
  if ((byte & 0xC0) == 0xC0) return 2;
  return 0;
}

bool ContinuationsFollow(const ScanWindow& w, std::size_t i, std::size_t length) {
  if (!w.Has(i, length)) return false;
  for (std::size_t k = 1; k < length; ++k) {
    if (!InRange(w[i + k], 0x80, 0xBF)) return false;
  }
  return true;
}

}  // namespace

Score JudgeUTF8(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  std::size_t i = 0;
  while (i < w.n) {
    const std::uint8_t byte = w[i];
    if (byte == 0xEF && w.Has(i, 3) && w[i + 1] == 0xBB && w[i + 2] == 0xBF) return kCertain;
    const std::size_t length = SequenceLength(byte);
    if (length != 0) {
      if (ContinuationsFollow(w, i, length)) {
        points += 2 * static_cast<std::int64_t>(length);
        i += length;
        continue;
      }
    } else if (byte <= 0x7F) {
      points += 1;
    }
    ++i;
  }
  return judge_detail::ScoreOf(points, w.n);
}

}  // namespace pagelift
