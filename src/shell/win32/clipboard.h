#pragma once

#include <windows.h>

#include <string>

namespace pagelift {

// The Clipboard, owned by `owner` while it is open. Another program may hold it for a
// moment, so each call tries to open it for up to half a second; a Clipboard that stays
// busy is left as it is.
void ClearClipboard(HWND owner);
// The Clipboard then holds exactly `text` as Unicode text (CF_UNICODETEXT), CR LF line
// ends and all. Throws std::bad_alloc when there is no memory for its copy.
void SetClipboardText(HWND owner, const std::u16string& text);

}  // namespace pagelift
