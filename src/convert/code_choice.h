#pragma once

#include <span>
#include <string>

#include "base/codes.h"
#include "convert/non_code_class.h"

namespace pagelift {

// The code a choice stands for: the chosen code, or for "自動判定" the page's judged code
// (JudgePage). A judgement that fails gives Shift_JIS, as a name that names no code does.
Code CodeForChoice(CodeChoice choice, const ByteArray& bytes);
// The same for bytes that lie elsewhere than in a ByteArray (a mapped file, say).
Code CodeForChoice(CodeChoice choice, std::span<const std::uint8_t> bytes);

// Decodes `bytes` with the member of `code`, or for UTF16BE, which has none, as the UNICODE
// member does with the bytes of each unit the other way round. Passes on what the member
// raises.
std::u16string DecodeAsCode(const NonCodeClass& codes, Code code, const ByteArray& bytes);

// Encodes `text` with the to-bytes member of `code` (UTF16BE as UNICODE, high byte first);
// `BOMflag` counts for UTF-16 and UTF-8 only.
ByteArray EncodeAsCode(const NonCodeClass& codes, Code code, const std::u16string& text,
                       bool BOMflag);

}  // namespace pagelift
