#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::InRange;
using judge_detail::ScanWindow;

Score JudgeSJIS(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  std::size_t i = 0;
  while (i < w.n) {
    const std::uint8_t byte = w[i];
    if (InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xEF)) {
      if (w.Has(i, 2) && (InRange(w[i + 1], 0x40, 0x7E) || InRange(w[i + 1], 0x80, 0xFC))) {
        points += 4;
        i += 2;
        continue;
      }
    } else if (InRange(byte, 0xA1, 0xDF) || byte <= 0x7F) {
      points += 1;  // half-width katakana or a 7-bit byte
    }
    ++i;
  }
  return judge_detail::ScoreOf(points, w.n);
}

}  // namespace pagelift
