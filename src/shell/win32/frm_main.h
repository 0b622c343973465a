#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/fetch_coordinator.h"
#include "app/settings.h"
#include "app/url_entries.h"
#include "shell/win32/tray_icon.h"

namespace pagelift {

// The settings dialog, the program's one window, made from the resource script and
// hidden until "設定..." shows it. Its controls are the live settings: a fetch reads them
// when the page is chosen. It owns the tray icon, whose right button opens the popup menu
// "設定...", "ネット取得" (the URL the Clipboard holds, a separator, and the URLs of the
// settings file) and "終了".
class frmMain {
 public:
  // Made hidden; Form_Load loads the settings and shows the icon.
  frmMain(HINSTANCE instance, std::filesystem::path settings_file);
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  HWND Window() const { return window_; }

  void Form_Load();         // loads the settings and shows the idle picture in the tray
  void Form_Unload();       // the session ends: the icon goes, the program ends, unsaved
  void mnuEnd_Click();      // "終了": the icon goes and the program ends, saving nothing
  void mnuSetting_Click();  // shows the window as it is, in front of the others
  void LoadSetting();       // hides the window, reads the file, rebuilds the URL entries
  void cmdOk_Click();       // saves, then reloads; when it cannot save, says so
  void cmdCancel_Click();   // hides the window: what was typed stays in force, unsaved
  void mnuSetUrlItem_Click(int index);
  // The first entry of "ネット取得", the URL the Clipboard holds, read as the submenu opens.
  void mnuSetUrl_InitPopup();
  void mnuClipboardUrl_Click();
  const std::optional<std::u16string>& ClipboardUrlOffered() const { return clipboard_url_; }

  // The popup menu, and the entries of "ネット取得".
  HMENU mnuMenu() const { return menu_; }
  const UrlEntries& mnuSetUrlItem() const { return entries_; }
  // Opens the popup menu at the mouse, as the right button does, and runs the entry
  // chosen.
  void ShowPopupMenu();

  const TrayIcon& Tray() const { return tray_; }
  HICON Picture(bool busy) const { return busy ? busy_ : idle_; }
  std::size_t FetchesRunning() const { return fetches_->Running(); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void SetUrlItems(std::vector<std::u16string> urls);
  FetchShell ShellForFetches();

  HINSTANCE instance_;
  std::filesystem::path settings_file_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HICON idle_ = nullptr;
  HICON busy_ = nullptr;
  HMENU menu_ = nullptr;
  HMENU url_menu_ = nullptr;
  UrlEntries entries_;
  std::optional<std::u16string> clipboard_url_;  // as the submenu last read it
  TrayIcon tray_{nullptr, 0};
  UINT taskbar_created_ = 0;
  std::unique_ptr<FetchCoordinator> fetches_;
};

}  // namespace pagelift
