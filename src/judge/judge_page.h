#pragma once

#include <cstddef>
#include <string>

#include "judge/judges.h"

namespace pagelift {

// JudgeCode's verdict, mended for pages as they are served today, and how it was reached.
struct PageJudgement {
  // One of the six code names, or "UTF16BE" for a page judged "UNICODE" that starts with the
  // big-endian mark FE FF.
  std::string code;
  // Where the judged window starts: 0, or, when the first window is plain 7-bit text, the
  // first later byte with the eighth bit set, a zero or an ESC.
  std::size_t window_start = 0;
  // "UTF7" was set aside because the judged window holds bytes with the eighth bit set.
  bool not_utf7 = false;
  // "SJIS", "EUC" or "UTF7" was set aside because the whole page is well-formed UTF-8.
  bool well_formed_utf8 = false;
  // "SJIS", the default for a window where Shift_JIS and EUC-JP score alike, was set aside
  // because the whole page reads cleanly as EUC-JP and not as Shift_JIS.
  bool euc_by_whole_page = false;
};

// Linear in the page: the judges read two windows at most, a page judged "SJIS", "EUC" or
// "UTF7" is read once more as UTF-8, and a page still "SJIS" from a tie with EUC-JP once
// more as both. Throws what JudgeCode throws.
PageJudgement JudgePageInDetail(PageBytes bytes);

// The code name of JudgePageInDetail, for the code choice "自動判定".
std::string JudgePage(const ByteArray& bytes);

}  // namespace pagelift
