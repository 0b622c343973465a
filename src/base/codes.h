#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The character codes of Japanese pages, with every name and number the layers know each
// one by. Adding a code means a row here, a judge for it and a converter.

namespace pagelift {

enum class Code : std::uint8_t { kSJIS, kJIS, kEUC, kUNICODE, kUTF7, kUTF8, kUTF16BE };

inline constexpr std::uint8_t kUtf16LeMark[] = {0xFF, 0xFE};
inline constexpr std::uint8_t kUtf16BeMark[] = {0xFE, 0xFF};
inline constexpr std::uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

struct CodeFacts {
  Code code;
  // What the judgement names it; "UTF16BE" only the page judgement gives.
  std::string_view judged;
  // Its entry in the settings dialog's code box, and the value of the key "CODE"; empty
  // for a code the box does not offer.
  std::u16string_view setting;
  // The stream back end's charset name; empty for UTF-16, which needs no converter.
  std::string_view charset;
  // The code-page back end's Windows code page; 0 where that back end has none (EUC-JP).
  std::int32_t code_page;
  // The byte-order mark cut from a page before it is decoded, and written on request.
  std::span<const std::uint8_t> mark;
};

// In the order of the code box, which the settings file relies on; the codes the box does
// not offer come last.
inline constexpr std::array<CodeFacts, 7> kCodeTable = {{
    {Code::kSJIS, "SJIS", u"SJIS", "Shift_JIS", 932, {}},
    // Code page 50221 writes half-width katakana as ESC ( I.
    {Code::kJIS, "JIS", u"JIS", "ISO-2022-JP", 50221, {}},
    {Code::kEUC, "EUC", u"EUC", "EUC-JP", 0, {}},
    {Code::kUNICODE, "UNICODE", u"UNICODE", "", 1200, kUtf16LeMark},
    {Code::kUTF7, "UTF7", u"UTF-7", "UTF-7", 65000, {}},
    {Code::kUTF8, "UTF8", u"UTF-8", "UTF-8", 65001, kUtf8Mark},
    // Not in the code box: only the page judgement names it, for a page that starts with
    // the big-endian mark, which "UNICODE" would read byte-swapped.
    {Code::kUTF16BE, "UTF16BE", u"", "", 1201, kUtf16BeMark},
}};

constexpr const CodeFacts& FactsOf(Code code) {
  return kCodeTable[static_cast<std::size_t>(code)];
}

// The code a code name selects, compared exactly: a judged name ("UTF8") or a setting
// ("UTF-8"); any other name, the empty one included, is Shift_JIS.
Code CodeNamed(std::u16string_view name);
// The code of a name the judgement gives; Shift_JIS for any other.
Code CodeJudged(std::string_view judged);

// What the code box asks for: a code, or none for "自動判定", which judges each page.
using CodeChoice = std::optional<Code>;
inline constexpr std::u16string_view kAutoCode = u"自動判定";

// The text of a choice as the code box shows it and the settings file stores it.
std::u16string_view ChoiceText(CodeChoice choice);

}  // namespace pagelift
