#pragma once

#include <chrono>
#include <cstddef>
#include <optional>

#include "app/clipboard_url.h"

namespace pagelift {

// The start of the X11 Clipboard's text, read straight from the program that holds it,
// through a connection of its own to the display: at most `limit` units, and whether that
// was all. QClipboard::text() would fetch all of it, 50 MB too, before a menu could open.
// Nothing when there is no display, the Clipboard is empty, or its owner gives no text
// within `wait`. The Clipboard must not be this program's own: Qt answers for that on this
// very thread, which waits here.
std::optional<ClipboardStart> ReadX11ClipboardStart(std::size_t limit,
                                                    std::chrono::milliseconds wait);

}  // namespace pagelift
