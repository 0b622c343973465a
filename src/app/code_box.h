#pragma once

#include <string_view>

#include "base/codes.h"

namespace pagelift {

// The settings dialog's code box: "自動判定" first, then each code of the table that has
// a spelling of its own, in the table's order. Its entries are also the values of the
// key "CODE".
int CodeBoxEntries();

// The choice of entry `index`; "自動判定" for an index outside the box.
CodeChoice CodeBoxChoice(int index);
std::u16string_view CodeBoxText(int index);

// The entry whose text is exactly `text`; entry 0, "自動判定", for any other text.
int CodeBoxIndex(std::u16string_view text);

}  // namespace pagelift
