#pragma once

#include <string_view>

#include "text/text_form.h"

namespace pagelift {

// The settings dialog's text form box, whose entries are also the values of the key
// "TEXTFORM": "タグ除去のみ" (the tags removed, and nothing else), "読みやすく" (the readable
// form), "本文のみ" (the article alone, in the readable form's layout), and the two of them
// as Markdown, "読みやすく（Markdown）" and "本文のみ（Markdown）".
int FormBoxEntries();
// Whether the entry's form is folded at the width, so that "折り返さない" applies to it: the
// readable and main forms (not the as-is form, whose fold stays, nor Markdown, never folded).
bool FormBoxFolds(int index);
// Whether the entry's form has an HTML to go beside it on the Clipboard, so that
// "書式（HTML）も付ける" applies to it: every form but the as-is form, which has no structure.
bool FormBoxMakesHtml(int index);
TextForm FormBoxChoice(int index);  // entry 0's for an index outside the box
std::u16string_view FormBoxText(int index);

// The entry whose text is exactly `text`; entry 0 for any other text (and for a file
// without the key, written before the forms were), so that such a file gives the text it
// gave.
int FormBoxIndex(std::u16string_view text);
// The entry a new user's first settings choose.
int FormBoxIndexOf(TextForm form);

}  // namespace pagelift
