#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::InRange;
using judge_detail::ScanWindow;

Score JudgeUNICODE(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  std::size_t i = 0;
  while (i < w.n) {
    const std::uint8_t byte = w[i];
    if (byte == 0xFF && w.Has(i, 2) && w[i + 1] == 0xFE) return kCertain;
    if (byte == 0x00) return kCertain;
    if (!InRange(byte, 0xD8, 0xDF)) {
      // A unit whose second byte is zero is refused, so that zero is scanned next.
      if (w.Has(i, 2) && w[i + 1] != 0x00) {
        points += 4;
        i += 2;
        continue;
      }
    } else if (w.Has(i, 3)) {
      // A surrogate lead: its two following bytes are taken whatever they hold.
      points += 6;
      i += 3;
      continue;
    }
    ++i;
  }
  return judge_detail::ScoreOf(points, w.n);
}

}  // namespace pagelift
