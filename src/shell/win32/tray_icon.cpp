#include "shell/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "settings/cp932.h"

namespace pagelift {

namespace {

constexpr std::size_t kTooltipBytes = 63;

std::u16string FittedTooltip(std::u16string_view text) {
  std::size_t length = std::min(text.size(), kTooltipBytes);
  while (length > 0 && EncodeCp932(text.substr(0, length)).size() > kTooltipBytes) --length;
  return std::u16string(text.substr(0, length));
}

// `text` in `field` of `size` units, the last for the terminating NUL; a surrogate pair
// is never cut in two.
template <std::size_t size>
void CopyCut(std::u16string_view text, wchar_t (&field)[size]) {
  std::size_t length = std::min(text.size(), size - 1);
  if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 &&
      text[length - 1] <= 0xDBFF) {
    --length;
  }
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), field);
  field[length] = L'\0';
}

}  // namespace

bool TrayIcon::Notify(DWORD message, const NOTIFYICONDATAW* notice) {
  NOTIFYICONDATAW data = notice != nullptr ? *notice : NOTIFYICONDATAW{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  data.uCallbackMessage = message_;
  if (message != NIM_DELETE) {
    data.uFlags |= NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.hIcon = icon_;
    std::copy(tooltip_.begin(), tooltip_.end(), data.szTip);
  }
  return Shell_NotifyIconW(message, &data) != FALSE;
}

void TrayIcon::Add(HICON icon, std::u16string_view tooltip) {
  icon_ = icon;
  tooltip_ = FittedTooltip(tooltip);
  Notify(NIM_ADD);
  shown_ = true;
}

void TrayIcon::Modify(HICON icon, std::u16string_view tooltip) {
  if (!shown_) return;
  icon_ = icon;
  tooltip_ = FittedTooltip(tooltip);
  Notify(NIM_MODIFY);
}

void TrayIcon::Delete() {
  if (shown_) Notify(NIM_DELETE);
  shown_ = false;
}

void TrayIcon::Restore() {
  if (shown_) Notify(NIM_ADD);
}

void TrayIcon::ShowNotice(std::u16string_view title, std::u16string_view text) {
  if (!shown_) return;
  NOTIFYICONDATAW notice{};
  notice.uFlags = NIF_INFO;
  notice.dwInfoFlags = NIIF_WARNING;
  CopyCut(title, notice.szInfoTitle);
  CopyCut(text, notice.szInfo);
  Notify(NIM_MODIFY, &notice);
}

}  // namespace pagelift
