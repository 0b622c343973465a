#include "judge/scan_window.h"

#include <algorithm>

#include "base/errors.h"

namespace pagelift::judge_detail {

ScanWindow OpenWindow(PageBytes bytes) {
  ScanWindow window;
  window.bytes = bytes;
  if (window.bytes.empty()) throw EmptyArrayError("cannot judge the code of an empty array");
  window.n = std::min(window.bytes.size(), ScanWindow::kMaxPositions);
  return window;
}

Score ScoreOf(std::int64_t points, std::size_t n) {
  // Integer arithmetic gives the same result as the division in double precision for
  // these magnitudes, and rounds halves to even without depending on the FPU mode.
  const std::int64_t numerator = points * 100;
  const std::int64_t denominator = 2 * static_cast<std::int64_t>(n);
  std::int64_t quotient = numerator / denominator;
  const std::int64_t twice_rest = 2 * (numerator % denominator);
  if (twice_rest > denominator || (twice_rest == denominator && quotient % 2 != 0)) ++quotient;
  return static_cast<Score>(quotient);
}

}  // namespace pagelift::judge_detail

namespace pagelift {

PageBytes BytesToJudge(const ByteArray& array) {
  if (array.LBound() != 0) {
    throw SubscriptError("subscript out of range: the byte array does not start at index 0");
  }
  return array.Data();
}

Score JudgeJIS(const ByteArray& bytes) {
  return JudgeJIS(BytesToJudge(bytes));
}
Score JudgeUNICODE(const ByteArray& bytes) {
  return JudgeUNICODE(BytesToJudge(bytes));
}
Score JudgeUTF8(const ByteArray& bytes) {
  return JudgeUTF8(BytesToJudge(bytes));
}
Score JudgeUTF7(const ByteArray& bytes) {
  return JudgeUTF7(BytesToJudge(bytes));
}
Score JudgeSJIS(const ByteArray& bytes) {
  return JudgeSJIS(BytesToJudge(bytes));
}
Score JudgeEUC(const ByteArray& bytes) {
  return JudgeEUC(BytesToJudge(bytes));
}

}  // namespace pagelift
