// The form's tray side: the start and end of the program, the tray icon and the fetch
// command. The dialog side is in frm_main.cpp.
#include <QSystemTrayIcon>

#include "app/tray_texts.h"
#include "shell/qt/frm_main.h"

namespace pagelift {

namespace {

// Long enough to read a URL and a reason.
constexpr int kNoticeMilliseconds = 15000;

}  // namespace

void frmMain::Form_Load() {
  LoadSetting();
  AddIconTray(windowIcon(), kProgramTitle);
}

void frmMain::Form_Unload() {
  DelIconTray();
  EndProgram();
}

void frmMain::mnuEnd_Click() {
  DelIconTray();
  EndProgram();
}

void frmMain::AddIconTray(const QIcon& icon, std::u16string_view tooltip) {
  tray_->setIcon(icon);
  tray_->setToolTip(ToQString(tooltip));
  tray_->show();
  tray_added_ = true;
  emit TrayPictureShown(icon);
}

void frmMain::ModIconTray(const QIcon& icon, std::u16string_view tooltip) {
  if (!tray_added_) return;
  tray_->setIcon(icon);
  tray_->setToolTip(ToQString(tooltip));
  emit TrayPictureShown(icon);
}

void frmMain::DelIconTray() {
  tray_->hide();
  tray_added_ = false;
}

void frmMain::mnuSetUrlItem_Click(int index) {
  // The settings as the controls hold them now, typed and cancelled or not.
  fetches_.Choose(UrlItemCaption(index), Shown().ForFetch());
}

void frmMain::mnuClipboardUrl_Click() {
  // The URL as the submenu read it when it opened, with the settings in force now.
  if (clipboard_url_) fetches_.Choose(*clipboard_url_, Shown().ForFetch());
}

FetchShell frmMain::ShellForFetches() {
  return {
      // A result queued for a form that has gone is dropped with it.
      [this](std::function<void()> task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
      },
      [this](bool busy) { ModIconTray(ImageList1[busy ? 1 : 0], kProgramTitle); },
      [] { ClearClipboard(); },
      [](const std::u16string& text, const std::u16string& html, const std::u16string&) {
        SetClipboardText(text, html);
      },
      // With a StatusNotifierItem host Qt sends it to the desktop's notification server;
      // beside an XEmbed tray it draws a balloon of its own.
      [this](const std::u16string& title, const std::u16string& text) {
        tray_->showMessage(ToQString(title), ToQString(text), QSystemTrayIcon::Warning,
                           kNoticeMilliseconds);
      },
  };
}

}  // namespace pagelift
