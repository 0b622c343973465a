#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "judge/errors.h"
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
  for (Score (*judge)(const ByteArray&) :
       {JudgeJIS, JudgeUNICODE, JudgeUTF8, JudgeUTF7, JudgeSJIS, JudgeEUC}) {
    const Score score = judge(bytes);
    FUZZ_CHECK(score == kCertain || (score >= 0 && score <= 100));
  }
  static const std::set<std::string> kNames = {"SJIS", "JIS", "EUC", "UNICODE", "UTF7", "UTF8"};
  FUZZ_CHECK(kNames.count(JudgeCode(bytes)) == 1);
  return 0;
}
