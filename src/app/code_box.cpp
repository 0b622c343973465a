#include "app/code_box.h"

namespace pagelift {

namespace {

// The table's rows the box offers, by entry; entry 0 is "自動判定".
const CodeFacts* RowOfEntry(int index) {
  int entry = 0;
  for (const CodeFacts& facts : kCodeTable) {
    if (facts.setting.empty()) continue;
    if (++entry == index) return &facts;
  }
  return nullptr;
}

}  // namespace

int CodeBoxEntries() {
  int entries = 1;
  for (const CodeFacts& facts : kCodeTable) entries += facts.setting.empty() ? 0 : 1;
  return entries;
}

CodeChoice CodeBoxChoice(int index) {
  const CodeFacts* row = RowOfEntry(index);
  return row ? CodeChoice(row->code) : std::nullopt;
}

std::u16string_view CodeBoxText(int index) {
  return ChoiceText(CodeBoxChoice(index));
}

int CodeBoxIndex(std::u16string_view text) {
  for (int index = 1; index < CodeBoxEntries(); ++index) {
    if (CodeBoxText(index) == text) return index;
  }
  return 0;
}

}  // namespace pagelift
