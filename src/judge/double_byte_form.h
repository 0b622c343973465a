#pragma once

#include "judge/judges.h"

namespace pagelift {

// Whether every byte of a page fits the byte structure of Shift_JIS and of EUC-JP: 7-bit
// bytes, and characters of two bytes (three for JIS X 0212 in EUC-JP) whose bytes lie in
// the code's ranges. Shift_JIS takes the leads of the NEC and IBM rows (up to FC); EUC-JP
// takes half-width katakana (8E) and JIS X 0212 (8F). A single-byte half-width katakana
// does not count for Shift_JIS: every byte of EUC-JP text is one, so with them nearly every
// EUC-JP page would read as Shift_JIS too. A character cut off by the end of the bytes
// counts as far as it goes, as a download that broke off leaves one.
struct DoubleByteForm {
  bool shift_jis = true;
  bool euc_jp = true;
};

// One pass over the bytes, stopping once neither code fits.
DoubleByteForm ReadDoubleByteForm(PageBytes bytes);

}  // namespace pagelift
