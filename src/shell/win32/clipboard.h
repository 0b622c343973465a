#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "app/clipboard_url.h"

namespace pagelift {

// The Clipboard, owned by `owner` while it is open. Another program may hold it for a
// moment, so each call tries to open it for up to half a second; a Clipboard that stays
// busy is left as it is.
void ClearClipboard(HWND owner);
// The Clipboard then holds exactly `text` as Unicode text (CF_UNICODETEXT), CR LF line
// ends and all, and beside it, where `html` is not empty, that HTML document of the page at
// `url` in the "HTML Format" (see WindowsHtmlFormat), set in the same opening so that no
// program sees one without the other. Throws std::bad_alloc when there is no memory for
// their copies; the Clipboard is then as it was.
void SetClipboardText(HWND owner, const std::u16string& text, const std::u16string& html = {},
                      const std::u16string& url = {});
// The start of the Clipboard's Unicode text (CF_UNICODETEXT): at most `limit` units, read
// from where it lies, however much it holds, and whether that is all of it. Nothing when
// it holds no text or stays busy.
std::optional<ClipboardStart> ReadClipboardStart(HWND owner, std::size_t limit);

}  // namespace pagelift
