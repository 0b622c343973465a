#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::InRange;
using judge_detail::ScanWindow;

Score JudgeEUC(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  std::size_t i = 0;
  while (i < w.n) {
    const std::uint8_t byte = w[i];
    if (byte == 0x8E) {
      // Single shift 2: one half-width katakana.
      if (w.Has(i, 2) && InRange(w[i + 1], 0xA1, 0xDF)) {
        points += 4;
        i += 2;
        continue;
      }
    } else if (byte == 0x8F) {
      // Single shift 3: one JIS X 0212 character.
      if (w.Has(i, 3) && InRange(w[i + 1], 0xA1, 0xFE) && InRange(w[i + 2], 0xA1, 0xFE)) {
        points += 6;
        i += 3;
        continue;
      }
    } else if (InRange(byte, 0xA1, 0xFE)) {
      if (w.Has(i, 2) && InRange(w[i + 1], 0xA1, 0xFE)) {
        points += 4;
        i += 2;
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
