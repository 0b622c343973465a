#include "judge/judges.h"
#include "judge/scan_window.h"

namespace pagelift {

using judge_detail::InRange;
using judge_detail::ScanWindow;

namespace {

bool IsBase64(std::uint8_t byte) {
  return InRange(byte, 'A', 'Z') || InRange(byte, 'a', 'z') || InRange(byte, '0', '9') ||
         byte == '+' || byte == '/';
}

}  // namespace

Score JudgeUTF7(PageBytes bytes) {
  const ScanWindow w = judge_detail::OpenWindow(bytes);
  std::int64_t points = 0;
  std::int64_t run_length = 0;
  bool in_run = false;
  for (std::size_t i = 0; i < w.n; ++i) {
    const std::uint8_t byte = w[i];
    if (byte == '+') {
      // Opens a run, or starts an open one again and drops what it had counted.
      run_length = 1;
      in_run = true;
    } else if (byte == '-') {
      // A run is credited only when it is closed: two points for each of its bytes.
      if (run_length > 0) points += (run_length + 1) * 2;
      run_length = 0;
      in_run = false;
    } else if (in_run) {
      if (IsBase64(byte)) ++run_length;
    } else if (byte <= 0x7F) {
      points += 1;
    }
  }
  return judge_detail::ScoreOf(points, w.n);
}

}  // namespace pagelift
