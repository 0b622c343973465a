#include "shell/win32/clipboard.h"

#include <algorithm>
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

std::optional<ClipboardStart> ReadClipboardStart(HWND owner, std::size_t limit) {
  const OpenClipboardFor clipboard(owner);
  if (!clipboard) return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return std::nullopt;
  const auto* text = static_cast<const char16_t*>(GlobalLock(data));
  if (text == nullptr) return std::nullopt;
  // The text ends at its NUL, or at the end of its memory.
  const std::size_t room = GlobalSize(data) / sizeof(char16_t);
  std::size_t size = 0;
  while (size < room && size <= limit && text[size] != u'\0') ++size;
  ClipboardStart start{std::u16string(text, std::min(size, limit)), size <= limit};
  GlobalUnlock(data);
  return start;
}

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
