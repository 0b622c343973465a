#include "shell/win32/clipboard.h"

#include <cstring>
#include <new>

namespace pagelift {

namespace {

// Open while it lives, if it could be opened.
class OpenClipboardFor {
 public:
  explicit OpenClipboardFor(HWND owner) {
    for (int attempt = 0; attempt < 50 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~OpenClipboardFor() {
    if (open_) CloseClipboard();
  }
  OpenClipboardFor(const OpenClipboardFor&) = delete;
  OpenClipboardFor& operator=(const OpenClipboardFor&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

void ClearClipboard(HWND owner) {
  const OpenClipboardFor clipboard(owner);
  if (clipboard) EmptyClipboard();
}

void SetClipboardText(HWND owner, const std::u16string& text) {
  // The Clipboard's copy, with its terminating NUL, in memory it takes over.
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (copy == nullptr) throw std::bad_alloc();
  void* place = GlobalLock(copy);
  if (place == nullptr) {
    GlobalFree(copy);
    throw std::bad_alloc();
  }
  std::memcpy(place, text.c_str(), bytes);
  GlobalUnlock(copy);
  const OpenClipboardFor clipboard(owner);
  if (!clipboard || !EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, copy) == nullptr) {
    GlobalFree(copy);
  }
}

}  // namespace pagelift
