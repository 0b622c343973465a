#include "judge/double_byte_form.h"

#include "judge/scan_window.h"
#include "judge/seven_bit_run.h"

namespace pagelift {

using judge_detail::InRange;

DoubleByteForm ReadDoubleByteForm(PageBytes bytes) {
  DoubleByteForm form;
  const std::uint8_t* p = bytes.data();
  const std::uint8_t* const end = p + bytes.size();
  // The bytes the current character still needs in each code. The two codes are followed
  // apart because their characters can end at different bytes: EUC-JP reads 8F and two
  // more as one, Shift_JIS reads two and starts again.
  int sjis_left = 0;
  int euc_left = 0;
  std::uint8_t euc_low = 0xA1;
  std::uint8_t euc_high = 0xFE;
  while (form.shift_jis || form.euc_jp) {
    if (sjis_left == 0 && euc_left == 0) p = judge_detail::SkipSevenBit(p, end);
    if (p == end) break;
    const std::uint8_t byte = *p++;
    if (sjis_left > 0) {
      sjis_left = 0;
      form.shift_jis = InRange(byte, 0x40, 0xFC) && byte != 0x7F;
    } else if (form.shift_jis) {
      if (InRange(byte, 0x81, 0x9F) || InRange(byte, 0xE0, 0xFC)) {
        sjis_left = 1;
      } else {
        form.shift_jis = byte < 0x80;
      }
    }
    if (euc_left > 0) {
      form.euc_jp = InRange(byte, euc_low, euc_high);
      euc_left = form.euc_jp ? euc_left - 1 : 0;
    } else if (form.euc_jp) {
      euc_low = 0xA1;
      euc_high = byte == 0x8E ? 0xDF : 0xFE;
      if (byte == 0x8E || InRange(byte, 0xA1, 0xFE)) {
        euc_left = 1;
      } else if (byte == 0x8F) {
        euc_left = 2;
      } else {
        form.euc_jp = byte < 0x80;
      }
    }
  }
  return form;
}

}  // namespace pagelift
