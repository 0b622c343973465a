#include "base/codes.h"

#include <algorithm>

namespace pagelift {

namespace {

bool SameName(std::u16string_view name, std::string_view ascii) {
  return std::equal(name.begin(), name.end(), ascii.begin(), ascii.end(),
                    [](char16_t a, char b) { return a == static_cast<unsigned char>(b); });
}

}  // namespace

Code CodeNamed(std::u16string_view name) {
  for (const CodeFacts& facts : kCodeTable) {
    if (SameName(name, facts.judged) || (!facts.setting.empty() && name == facts.setting)) {
      return facts.code;
    }
  }
  return Code::kSJIS;
}

Code CodeJudged(std::string_view judged) {
  for (const CodeFacts& facts : kCodeTable) {
    if (judged == facts.judged) return facts.code;
  }
  return Code::kSJIS;
}

std::u16string_view ChoiceText(CodeChoice choice) {
  return choice ? FactsOf(*choice).setting : kAutoCode;
}

}  // namespace pagelift
