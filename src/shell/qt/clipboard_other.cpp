// Off Linux the window toolkit's own Clipboard is the desktop's.
#include <QClipboard>
#include <QGuiApplication>

#include "shell/qt/clipboard.h"
#include "shell/qt/toolkit.h"

namespace pagelift {

ClipboardWay ChooseClipboardWay() {
  return ClipboardWay::kToolkit;
}

std::unique_ptr<Clipboard> MakeClipboard(ClipboardWay, ModalMessage) {
  return nullptr;
}

std::optional<ClipboardStart> ReadToolkitClipboardStart(std::size_t limit) {
  std::u16string text = FromQString(QGuiApplication::clipboard()->text());
  const bool whole = text.size() <= limit;
  if (!whole) text.resize(limit);
  return ClipboardStart{std::move(text), whole};
}

}  // namespace pagelift
