#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/byte_array.h"
#include "base/codes.h"

namespace pagelift {

// A judge's result: 0 to 100 for how well the start of a page reads in its code, or
// kCertain when it met a sure sign of that code.
using Score = std::int16_t;
inline constexpr Score kCertain = 9999;

// The code names the judgement gives.
namespace code_name {
inline constexpr std::string_view kSJIS = FactsOf(Code::kSJIS).judged;
inline constexpr std::string_view kJIS = FactsOf(Code::kJIS).judged;
inline constexpr std::string_view kEUC = FactsOf(Code::kEUC).judged;
inline constexpr std::string_view kUNICODE = FactsOf(Code::kUNICODE).judged;
inline constexpr std::string_view kUTF7 = FactsOf(Code::kUTF7).judged;
inline constexpr std::string_view kUTF8 = FactsOf(Code::kUTF8).judged;
// Never given by JudgeCode: the page judgement's name for UTF-16 with the big-endian mark.
inline constexpr std::string_view kUTF16BE = FactsOf(Code::kUTF16BE).judged;
}  // namespace code_name

// A page's bytes from its first on, read in place.
using PageBytes = std::span<const std::uint8_t>;

// Each judge reads at most the first 1000 bytes as scan positions (a sequence starting
// among them may read on to the end of the bytes) and never copies them.
//
// No judge reads past the first kJudgedBytes bytes: the longest sequence looked at, a
// six-byte UTF-8 form, starting at the last scan position, ends there. So every judge, and
// JudgeCode, gives the same result for those bytes as for the whole array.
inline constexpr std::size_t kJudgedBytes = 1000 + 5;
// All throw EmptyArrayError for no bytes; the forms taking a ByteArray also throw
// SubscriptError for an unset array or one not indexed from 0 (the marker array).
Score JudgeJIS(PageBytes bytes);
Score JudgeUNICODE(PageBytes bytes);
Score JudgeUTF8(PageBytes bytes);
Score JudgeUTF7(PageBytes bytes);
Score JudgeSJIS(PageBytes bytes);
Score JudgeEUC(PageBytes bytes);
Score JudgeJIS(const ByteArray& bytes);
Score JudgeUNICODE(const ByteArray& bytes);
Score JudgeUTF8(const ByteArray& bytes);
Score JudgeUTF7(const ByteArray& bytes);
Score JudgeSJIS(const ByteArray& bytes);
Score JudgeEUC(const ByteArray& bytes);

// The decision when no judge is sure, from the UTF-7, UTF-8, Shift_JIS and EUC-JP scores.
std::string_view ArbitrateScores(Score u7, Score u8, Score sj, Score eu);

// The most likely code of the page: one of the six code names above. Throws what the
// judges throw.
std::string JudgeCode(PageBytes bytes);
std::string JudgeCode(const ByteArray& bytes);

// The bytes of an array indexed from 0: SubscriptError for an unset or marker array.
PageBytes BytesToJudge(const ByteArray& bytes);

}  // namespace pagelift
