#include "judge/judges.h"

namespace pagelift {

std::string JudgeCode(const ByteArray& bytes) {
  return JudgeCode(BytesToJudge(bytes));
}

std::string JudgeCode(PageBytes bytes) {
  // A sure sign ends the judgement; an earlier judge's sign hides every later judge.
  if (JudgeJIS(bytes) >= kCertain) return std::string(code_name::kJIS);
  if (JudgeUNICODE(bytes) >= kCertain) return std::string(code_name::kUNICODE);
  const Score u8 = JudgeUTF8(bytes);
  if (u8 >= kCertain) return std::string(code_name::kUTF8);
  const Score u7 = JudgeUTF7(bytes);
  if (u7 >= kCertain) return std::string(code_name::kUTF7);
  const Score sj = JudgeSJIS(bytes);
  if (sj >= kCertain) return std::string(code_name::kSJIS);
  const Score eu = JudgeEUC(bytes);
  if (eu >= kCertain) return std::string(code_name::kEUC);

  return std::string(ArbitrateScores(u7, u8, sj, eu));
}

std::string_view ArbitrateScores(Score u7, Score u8, Score sj, Score eu) {
  // UTF-7 wins ties but only above 50, the score of plain 7-bit text; UTF-8 and EUC-JP
  // must be the strict maximum; everything else is Shift_JIS.
  if (u7 >= sj && u7 >= eu && u7 >= u8) return u7 > 50 ? code_name::kUTF7 : code_name::kSJIS;
  if (u8 > sj && u8 > eu && u8 > u7) return code_name::kUTF8;
  if (eu > sj && eu > u7 && eu > u8) return code_name::kEUC;
  return code_name::kSJIS;
}

}  // namespace pagelift
