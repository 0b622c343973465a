#include "app/form_box.h"

#include <iterator>

namespace pagelift {

namespace {

struct Entry {
  std::u16string_view text;
  TextForm form;
};

constexpr Entry kEntries[] = {
    {u"タグ除去のみ", TextForm::kAsIs},
    {u"読みやすく", TextForm::kReadable},
    {u"本文のみ", TextForm::kMain},
    {u"読みやすく（Markdown）", TextForm::kReadableMarkdown},
    {u"本文のみ（Markdown）", TextForm::kMainMarkdown},
};

const Entry& EntryAt(int index) {
  return index > 0 && index < FormBoxEntries() ? kEntries[index] : kEntries[0];
}

}  // namespace

int FormBoxEntries() {
  return static_cast<int>(std::size(kEntries));
}

bool FormBoxFolds(int index) {
  const TextForm form = FormBoxChoice(index);
  return form == TextForm::kReadable || form == TextForm::kMain;
}

bool FormBoxMakesHtml(int index) {
  return FormBoxChoice(index) != TextForm::kAsIs;
}

TextForm FormBoxChoice(int index) {
  return EntryAt(index).form;
}

std::u16string_view FormBoxText(int index) {
  return EntryAt(index).text;
}

int FormBoxIndex(std::u16string_view text) {
  for (int index = 1; index < FormBoxEntries(); ++index) {
    if (kEntries[index].text == text) return index;
  }
  return 0;
}

int FormBoxIndexOf(TextForm form) {
  for (int index = 0; index < FormBoxEntries(); ++index) {
    if (kEntries[index].form == form) return index;
  }
  return 0;
}

}  // namespace pagelift
