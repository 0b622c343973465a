#pragma once

#include <string>
#include <string_view>

#include "convert/non_code_class.h"

namespace pagelift {

// The code box's entry that asks for the page's code to be judged.
inline constexpr char16_t kAutoCode[] = u"自動判定";

// The code name a code choice stands for: the choice itself, or for "自動判定" the
// page's judged name (JudgePage). A judgement that fails leaves "自動判定", which names
// no conversion.
std::u16string CodeNameForChoice(std::u16string_view choice, const ByteArray& bytes);

// The codes the conversion members convert.
enum class Code { kSJIS, kJIS, kEUC, kUNICODE, kUTF7, kUTF8 };

// The code a code name selects, compared exactly: "SJIS", "JIS", "EUC", "UNICODE", "UTF7"
// or "UTF-7", "UTF8" or "UTF-8"; any other name is Shift_JIS.
Code CodeNamed(std::u16string_view code_name);

// Decodes `bytes` with the member that a code name selects (see CodeNamed). Passes on
// what the member raises.
std::u16string DecodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                                const ByteArray& bytes);

// Encodes `text` with the to-bytes member a code name selects, by the same table;
// `BOMflag` counts for UNICODE and UTF-8 only.
ByteArray EncodeAsCodeName(const NonCodeClass& codes, std::u16string_view code_name,
                           const std::u16string& text, bool BOMflag);

}  // namespace pagelift
