#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::ScanWindow;

namespace {

// ESC followed by one of these pairs designates a JIS character set.
bool IsDesignation(std::uint8_t first, std::uint8_t second) {
  if (first == 0x28) return second == 0x42 || second == 0x4A || second == 0x49;
  if (first == 0x24) return second == 0x40 || second == 0x42 || second == 0x44;
  return false;
}

}  // namespace

Score JudgeJIS(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  for (std::size_t i = 0; i < w.n; ++i) {
    const std::uint8_t byte = w[i];
    if (byte == 0x1B) {
      if (w.Has(i, 3) && IsDesignation(w[i + 1], w[i + 2])) return kCertain;
    } else if (byte <= 0x7F) {
      points += 1;
    }
  }
  return judge_detail::ScoreOf(points, w.n);
}

}  // namespace pagelift
