// Off Linux the window toolkit's own Clipboard is the desktop's.
#include "shell/qt/clipboard.h"

namespace pagelift {

ClipboardWay ChooseClipboardWay() {
  return ClipboardWay::kToolkit;
}

std::unique_ptr<Clipboard> MakeClipboard(ClipboardWay, ModalMessage) {
  return nullptr;
}

}  // namespace pagelift
