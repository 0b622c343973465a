#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/fetch_coordinator.h"
#include "app/settings.h"
#include "app/url_entries.h"
#include "shell/qt/dialog_controls.h"
#include "shell/qt/toolkit.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace pagelift {

// The settings dialog, the program's one window. Its controls are the live settings: a
// fetch reads them when the page is chosen. It also owns the tray icon and its popup menu,
// whose "ネット取得" submenu lists the URLs of the settings file.
//
// The controls are made when first asked for (when the dialog is first shown, as a rule):
// a program at rest in the tray does not carry them. Until then the window keeps the
// settings they would show.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  // `settings_file` is read by LoadSetting and written by OK; `message_box` tells the
  // user when OK cannot write it.
  explicit frmMain(std::filesystem::path settings_file, ModalMessage message_box = QtMessageBox(),
                   QWidget* parent = nullptr);
  ~frmMain() override;

  DialogControls& controls();

  // The settings as the controls hold them, or would; makes no controls.
  Settings Shown() const;
  void Show(const Settings& settings);

  // The popup menu: "設定...", "ネット取得" and "終了". The submenu begins with the entry
  // of the URL the Clipboard holds, read as the submenu opens (greyed when it holds none),
  // and a separator; then entry i holds the URL of key "URL<i + 1>"; entry 0 always
  // exists; an entry for an empty line is hidden.
  QMenu* const mnuMenu;
  QAction* const mnuSetting;
  QMenu* const mnuSetUrl;
  QAction* const mnuClipboardUrl;
  QAction* const mnuUrlSeparator;
  QAction* const mnuEnd;
  std::vector<QAction*> mnuSetUrlItem;
  // The URL of entry `index`, exactly as stored ("" for no entry); the entry's text is
  // what the menu needs to show it.
  std::u16string UrlItemCaption(int index) const;

  // The tray pictures: idle, then busy. The idle one is also the window's icon.
  const std::array<QIcon, 2> ImageList1;

  void LoadSetting();       // hides the window, reads the file, rebuilds the URL entries
  void mnuSetting_Click();  // shows the window as it is, in front of the others
  void cmdOk_Click();       // saves, then reloads; when it cannot save, says so
  void cmdCancel_Click();   // hides the window: what was typed stays in force, unsaved

  void Form_Load();     // loads the settings and shows the idle picture in the tray
  void Form_Unload();   // the platform ends the program: the icon goes, nothing is saved
  void mnuEnd_Click();  // "終了": the icon goes and the program ends, saving nothing
  void mnuSetUrlItem_Click(int index);
  // The submenu is about to show: its first entry reads the Clipboard.
  void mnuSetUrl_AboutToShow();
  void mnuClipboardUrl_Click();

  // The one tray icon. A modify while no icon is shown changes nothing.
  void AddIconTray(const QIcon& icon, std::u16string_view tooltip);
  void ModIconTray(const QIcon& icon, std::u16string_view tooltip);
  void DelIconTray();
  const QSystemTrayIcon& TrayIcon() const { return *tray_; }

  std::size_t FetchesRunning() const { return fetches_.Running(); }

 signals:
  // The tray icon now shows `picture` (by AddIconTray or ModIconTray).
  void TrayPictureShown(const QIcon& picture);

 protected:
  // Closing the window from its title bar is Cancel: a stray close must not end a
  // resident program.
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetUrlItems(std::vector<std::u16string> urls);
  FetchShell ShellForFetches();

  std::filesystem::path settings_file_;
  ModalMessage message_box_;
  std::unique_ptr<DialogControls> controls_;
  Settings kept_;  // what the controls would show while there are none
  UrlEntries entries_;
  std::optional<std::u16string> clipboard_url_;  // as the submenu last read it
  QSystemTrayIcon* const tray_;
  bool tray_added_ = false;
  // Last, so that it is destroyed first: its threads end before anything they use.
  FetchCoordinator fetches_;
};

}  // namespace pagelift
