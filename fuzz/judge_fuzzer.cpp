#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "fuzz_check.h"
#include "judge/judge_page.h"
#include "judge/judges.h"

using namespace pagelift;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteArray bytes(std::vector<std::uint8_t>(data, data + size));
  if (size == 0) {
    bool refused = false;
    try {
      JudgeCode(bytes);
    } catch (const EmptyArrayError&) {
      refused = true;
    }
    FUZZ_CHECK(refused);
    return 0;
  }
  using Judge = Score (*)(const ByteArray&);
  for (Judge judge : std::initializer_list<Judge>{JudgeJIS, JudgeUNICODE, JudgeUTF8, JudgeUTF7,
                                                  JudgeSJIS, JudgeEUC}) {
    const Score score = judge(bytes);
    FUZZ_CHECK(score == kCertain || (score >= 0 && score <= 100));
  }
  static const std::set<std::string> kNames = {"SJIS", "JIS", "EUC", "UNICODE", "UTF7", "UTF8"};
  const std::string code = JudgeCode(bytes);
  FUZZ_CHECK(kNames.count(code) == 1);
  // The page's judgement differs from the scores' only through a mend it reports, or by
  // naming UTF-16 that starts with the big-endian mark.
  const PageJudgement page = JudgePageInDetail(bytes.Data());
  const bool big_endian = code == "UNICODE" && size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
  FUZZ_CHECK((page.code == "UTF16BE") == big_endian);
  FUZZ_CHECK(kNames.count(page.code) == 1 || big_endian);
  FUZZ_CHECK(page.window_start < size);
  FUZZ_CHECK(page.code == code || page.window_start != 0 || page.not_utf7 ||
             page.well_formed_utf8 || page.euc_by_whole_page || big_endian);
  return 0;
}
