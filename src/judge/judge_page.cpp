#include "judge/judge_page.h"

#include <algorithm>
#include <cstring>

#include "judge/double_byte_form.h"
#include "judge/scan_window.h"
#include "judge/utf8_form.h"

namespace pagelift {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Whether any byte of `word` is zero.
constexpr bool HasZeroByte(std::uint64_t word) {
  return ((word - kOnes) & ~word & kHighBits) != 0;
}

bool IsEvidence(std::uint8_t byte) {
  return byte >= 0x80 || byte == 0x00 || byte == 0x1B;
}

// The first byte from `from` on that tells one code from another (eighth bit set, zero,
// ESC), eight bytes at a time; the size of `bytes` when there is none.
std::size_t FindEvidence(PageBytes bytes, std::size_t from) {
  std::size_t i = from;
  for (; bytes.size() - i >= 8; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if ((word & kHighBits) != 0 || HasZeroByte(word) || HasZeroByte(word ^ (kOnes * 0x1B))) break;
  }
  while (i < bytes.size() && !IsEvidence(bytes[i])) ++i;
  return i;
}

bool HasEightBitByte(PageBytes window) {
  return std::any_of(window.begin(), window.end(), [](std::uint8_t byte) { return byte >= 0x80; });
}

// The last step of the arbitration with UTF-7 left out.
std::string_view ArbitrateWithoutUtf7(PageBytes bytes) {
  const Score u8 = JudgeUTF8(bytes);
  const Score sj = JudgeSJIS(bytes);
  const Score eu = JudgeEUC(bytes);
  if (u8 > sj && u8 > eu) return code_name::kUTF8;
  if (eu > sj && eu > u8) return code_name::kEUC;
  return code_name::kSJIS;
}

}  // namespace

PageJudgement JudgePageInDetail(PageBytes bytes) {
  PageJudgement judgement;
  // A long head of plain 7-bit markup tells no code from another: judge where the first
  // byte that does stands.
  const std::size_t window = std::min(bytes.size(), judge_detail::ScanWindow::kMaxPositions);
  if (FindEvidence(bytes.first(window), 0) == window) {
    const std::size_t later = FindEvidence(bytes, window);
    if (later < bytes.size()) judgement.window_start = later;
  }
  const PageBytes judged = bytes.subspan(judgement.window_start);
  judgement.code = JudgeCode(judged);

  // JudgeUNICODE knows only the little-endian mark, and takes FE FF for a unit.
  if (judgement.code == code_name::kUNICODE && bytes.size() >= 2 && bytes[0] == 0xFE &&
      bytes[1] == 0xFF) {
    judgement.code = code_name::kUTF16BE;
  }

  // UTF-7 has no 8-bit bytes: a "+" run in such a window is a time zone or a font name.
  if (judgement.code == code_name::kUTF7 &&
      HasEightBitByte(
          judged.first(std::min(judged.size(), judge_detail::ScanWindow::kMaxPositions)))) {
    judgement.code = ArbitrateWithoutUtf7(judged);
    judgement.not_utf7 = true;
  }

  // Japanese UTF-8 often scores as well as Shift_JIS in the window; a whole page that is
  // well-formed UTF-8 is hardly ever anything else.
  if ((judgement.code == code_name::kSJIS || judgement.code == code_name::kEUC ||
       judgement.code == code_name::kUTF7) &&
      ReadUtf8Form(bytes) == Utf8Form::kMultiByte) {
    judgement.code = code_name::kUTF8;
    judgement.well_formed_utf8 = true;
  }

  // A few EUC-JP characters among 7-bit text score as well in Shift_JIS, which the tie
  // then names; the whole page tells the two apart. Read the other way round (Shift_JIS
  // only), the page keeps the name it has.
  if (judgement.code == code_name::kSJIS && JudgeSJIS(judged) == JudgeEUC(judged)) {
    const DoubleByteForm form = ReadDoubleByteForm(bytes);
    if (form.euc_jp && !form.shift_jis) {
      judgement.code = code_name::kEUC;
      judgement.euc_by_whole_page = true;
    }
  }
  return judgement;
}

std::string JudgePage(const ByteArray& bytes) {
  return JudgePageInDetail(BytesToJudge(bytes)).code;
}

}  // namespace pagelift
