#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/clipboard_url.h"
#include "base/modal_message.h"

// The Clipboard of the desktop the program runs on. A Wayland compositor gives the
// Clipboard only to the program that holds the keyboard focus, which a tray program never
// does; such a desktop needs another way in than the window toolkit's own.

namespace pagelift {

// A way to the Clipboard other than the window toolkit's. Used on the user-interface
// thread only.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void Clear() = 0;
  // The Clipboard then holds exactly `text`, as UTF-8 plain text, and beside it the HTML
  // document `html` where that is not empty.
  virtual void SetText(const std::u16string& text, const std::u16string& html) = 0;
  // The start of the Clipboard's text (see ClipboardStart), at most `limit` units; nothing
  // when it holds no text or cannot be read now.
  virtual std::optional<ClipboardStart> ReadStart(std::size_t limit) = 0;
};

enum class ClipboardWay {
  // The window toolkit's own Clipboard: X11, and any platform other than Linux.
  kToolkit,
  // wl-copy, which sets the Clipboard of a Wayland compositor through the data-control
  // protocol, no focus needed, and keeps serving it after this program ends.
  kWlCopy,
};

// Looks at the desktop and picks the way to its Clipboard. Call before the QApplication
// is made: on a Wayland compositor without the data-control protocol it makes Qt run
// through XWayland, whose X11 Clipboard such a compositor (Mutter) hands on to Wayland
// programs without focus.
ClipboardWay ChooseClipboardWay();

// The Clipboard for `way`, or nothing when the toolkit's own serves. `tell_user` hears of
// a text that could not be put there. Call after the QApplication is made.
std::unique_ptr<Clipboard> MakeClipboard(ClipboardWay way, ModalMessage tell_user);

// Clipboard::ReadStart for the toolkit's own Clipboard when another program holds it.
std::optional<ClipboardStart> ReadToolkitClipboardStart(std::size_t limit);

}  // namespace pagelift
