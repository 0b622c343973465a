#include "shell/win32/clipboard.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "app/clipboard_html.h"

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

// A copy of `bytes` in memory the Clipboard can take over, freed unless it was.
class GlobalCopy {
 public:
  GlobalCopy(const void* bytes, SIZE_T size) : memory_(GlobalAlloc(GMEM_MOVEABLE, size)) {
    if (memory_ == nullptr) throw std::bad_alloc();
    void* place = GlobalLock(memory_);
    if (place == nullptr) {
      GlobalFree(memory_);
      throw std::bad_alloc();
    }
    std::memcpy(place, bytes, size);
    GlobalUnlock(memory_);
  }
  ~GlobalCopy() {
    if (memory_ != nullptr) GlobalFree(memory_);
  }
  GlobalCopy(const GlobalCopy&) = delete;
  GlobalCopy& operator=(const GlobalCopy&) = delete;
  HGLOBAL Handle() const { return memory_; }
  // The Clipboard has it now.
  void Release() { memory_ = nullptr; }

 private:
  HGLOBAL memory_;
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

void SetClipboardText(HWND owner, const std::u16string& text, const std::u16string& html,
                      const std::u16string& url) {
  GlobalCopy unicode(text.c_str(), (text.size() + 1) * sizeof(char16_t));
  std::optional<GlobalCopy> formatted;
  if (!html.empty()) {
    const std::string bytes = WindowsHtmlFormat(html, url);
    formatted.emplace(bytes.c_str(), bytes.size() + 1);
  }
  // Registered once for the session; the same number in every program.
  static const UINT html_format = RegisterClipboardFormatW(L"HTML Format");
  const OpenClipboardFor clipboard(owner);
  if (!clipboard || !EmptyClipboard()) return;
  if (SetClipboardData(CF_UNICODETEXT, unicode.Handle()) != nullptr) unicode.Release();
  if (formatted && html_format != 0 &&
      SetClipboardData(html_format, formatted->Handle()) != nullptr)
    formatted->Release();
}

}  // namespace pagelift
