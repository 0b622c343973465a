// The form's tray side: the start and end of the program, the tray icon and the fetch
// command. The dialog side is in frm_main.cpp.
#include <QSystemTrayIcon>
#include <new>

#include "base/settings_number.h"
#include "capture/fetch_text.h"
#include "shell/frm_main.h"

namespace pagelift {
namespace {

constexpr std::u16string_view kToolTip = u"Pagelift";

}  // namespace

void frmMain::Form_Load() {
  LoadSetting();
  AddIconTray(windowIcon(), kToolTip);
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
  GetNetText(index);
}

void frmMain::GetNetText(int index) {
  ModIconTray(ImageList1[kBusyPicture], kToolTip);
  const bool listed = index >= 0 && static_cast<std::size_t>(index) < mnuSetUrlItem_.size();
  const std::u16string url = listed ? UrlItemCaption(index) : u"";
  if (url.empty()) {
    ShowIdleUnlessFetching();
    return;
  }

  ClearClipboard();
  // The settings as the controls hold them now, typed and cancelled or not. The worker
  // thread gets copies: the controls belong to this thread.
  const std::u16string code = CodeText();
  const FetchSettings settings{ProxyText(), code == kAutoCode ? CodeChoice() : CodeNamed(code),
                               NumberOfText(WidthText())};
  // The code-page back end's message box is never needed: the conversion object stays in
  // its default mode, and a worker thread could not show a window anyway.
  if (!codes_) codes_ = std::make_shared<const NonCodeClass>();
  const std::uint64_t fetch = ++last_fetch_;
  fetches_.Start([url, settings, codes = codes_] { return FetchPageText(url, settings, *codes); },
                 [this, fetch](const FetchResult& result) {
                   // A page chosen earlier that arrives later must not replace the text of
                   // the one chosen last.
                   if (fetch == last_fetch_) {
                     ClearClipboard();
                     try {
                       SetClipboardText(result.text);
                     } catch (const std::bad_alloc&) {
                       // The Clipboard's own copy of a huge text did not fit.
                       SetClipboardText(kFetchFailedText);
                     }
                   }
                   ShowIdleUnlessFetching();
                 });
}

void frmMain::ShowIdleUnlessFetching() {
  if (FetchesRunning() == 0) ModIconTray(ImageList1[kIdlePicture], kToolTip);
}

}  // namespace pagelift
