#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pagelift {

// The program's one icon in the notification area, owned by `window`, which receives
// `callback_message` with the mouse message over the icon as its lParam.
class TrayIcon {
 public:
  TrayIcon(HWND window, UINT callback_message) : window_(window), message_(callback_message) {}

  // The tooltip is cut to what fits 63 bytes of code page 932, as the tray has always
  // held it. A modify while no icon is shown changes nothing.
  void Add(HICON icon, std::u16string_view tooltip);
  void Modify(HICON icon, std::u16string_view tooltip);
  void Delete();
  // A notification beside the icon (a balloon, or a toast on Windows 10 and 11), with the
  // warning mark; the title and text are cut to what the notification area holds.
  void ShowNotice(std::u16string_view title, std::u16string_view text);
  // The notification area was made again (Explorer restarted): the icon comes back with
  // the picture it showed.
  void Restore();

  bool Shown() const { return shown_; }
  HICON Picture() const { return icon_; }
  const std::u16string& Tooltip() const { return tooltip_; }

 private:
  bool Notify(DWORD message, const NOTIFYICONDATAW* notice = nullptr);

  HWND window_;
  UINT message_;
  bool shown_ = false;
  HICON icon_ = nullptr;
  std::u16string tooltip_;
};

}  // namespace pagelift
