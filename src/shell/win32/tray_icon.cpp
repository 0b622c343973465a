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

}  // namespace

bool TrayIcon::Notify(DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = 1;
  data.uCallbackMessage = message_;
  if (message != NIM_DELETE) {
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
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

}  // namespace pagelift
