#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/non_code_class.h"
#include "shell/fetch_threads.h"
#include "shell/toolkit.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSystemTrayIcon;

namespace pagelift {

// The settings dialog, the program's one window. Its controls are the live settings:
// the fetch command and the folding read the proxy, the code choice and the fold width
// from them, not from the file. It also owns the tray icon and its popup menu, whose
// "ネット取得" submenu lists the URLs of the settings, and runs the fetches.
//
// The controls are made when they are first asked for (when the dialog is first shown,
// as a rule): a program at rest in the tray does not carry them. Until then the window
// keeps the text they would show, and the settings are read from that.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  // `settings_file` is read by LoadSetting and written by OK; `message_box` tells the
  // user when OK cannot write it.
  explicit frmMain(std::filesystem::path settings_file, ModalMessage message_box = QtMessageBox(),
                   QWidget* parent = nullptr);

  ~frmMain() override;

  // The dialog's controls, made with the first of them asked for.
  QPlainTextEdit* txtUrl();
  QLineEdit* txtProxy();
  QComboBox* cmbCode();
  QLineEdit* txtMaxChar();
  QPushButton* cmdOk();
  QPushButton* cmdCancel();
  QLabel* Label1();
  QLabel* Label2();
  QLabel* Label3();
  QLabel* Label4();

  // The settings as the controls hold them, or would: the proxy text, the code box's
  // text and the fold width's text. These make no controls.
  std::u16string ProxyText() const;
  std::u16string CodeText() const;
  std::u16string WidthText() const;

  // The submenu "ネット取得" and its entries, entry i holding the URL of key
  // "URL<i + 1>". Entry 0 always exists; an entry for an empty line is hidden.
  QMenu* const mnuSetUrl;
  const std::vector<QAction*>& mnuSetUrlItem() const { return mnuSetUrlItem_; }
  // The URL of entry `index`, exactly as stored (the entry's text doubles each "&").
  std::u16string UrlItemCaption(int index) const;

  // The tray icon's popup menu, opened by the right button: "設定...", "ネット取得" and
  // "終了", in that order.
  QMenu* const mnuMenu;
  QAction* const mnuSetting;
  QAction* const mnuEnd;

  // The tray pictures: idle, then busy. The idle one is also the window's icon.
  const std::array<QIcon, 2> ImageList1;
  static constexpr std::size_t kIdlePicture = 0;
  static constexpr std::size_t kBusyPicture = 1;

  // The URL box's text, CR LF between its lines. Makes no controls either.
  std::u16string UrlText() const;
  void SetUrlText(std::u16string_view text);

  // Hides the window, copies the settings file into the controls and rebuilds the URL
  // entries.
  void LoadSetting();
  // "設定...": shows the window as it is, in front of the others.
  void mnuSetting_Click();
  // Writes the controls into the settings file and loads it again. When the file cannot
  // be written the user is told so and the controls keep what was typed.
  void cmdOk_Click();
  // Hides the window; what was typed stays in force but is not saved.
  void cmdCancel_Click();

  // The start: loads the settings and shows the idle picture in the tray.
  void Form_Load();
  // The platform ends the program (a signal, the end of the session): the icon goes,
  // nothing is saved.
  void Form_Unload();
  // "終了": deletes the icon and ends the program at once, saving nothing.
  void mnuEnd_Click();
  // A URL entry was chosen; `index` is its place in mnuSetUrlItem().
  void mnuSetUrlItem_Click(int index);

  // The one tray icon, always with `tooltip`. A modify while no icon is shown (before the
  // add or after the delete) changes nothing.
  void AddIconTray(const QIcon& icon, std::u16string_view tooltip);
  void ModIconTray(const QIcon& icon, std::u16string_view tooltip);
  void DelIconTray();
  const QSystemTrayIcon& TrayIcon() const { return *tray_; }

  // The fetches still running.
  std::size_t FetchesRunning() const { return fetches_.Running(); }

 signals:
  // The tray icon now shows `picture` (by AddIconTray or ModIconTray).
  void TrayPictureShown(const QIcon& picture);

 protected:
  // Closing the window from its title bar is Cancel: a stray close must not end a
  // resident program.
  void closeEvent(QCloseEvent* event) override;

 private:
  // The fetch command: the page of URL entry `index` goes to the Clipboard as folded
  // text, downloaded and reduced on a worker thread. When several run at once, the page
  // chosen last wins and the busy picture stays until none runs.
  void GetNetText(int index);
  void ShowIdleUnlessFetching();
  QAction* AddUrlItem();
  void SetUrlItemCaption(int index, std::u16string_view url);
  // A fold width whose number is not greater than 0 becomes "100".
  void MendWidth();

  struct Controls;
  // The controls, made and given the settings kept for them on the first call.
  Controls& MadeControls();
  // Puts the settings into the controls, or keeps them for the controls to come.
  void ShowSettings(int code, const std::u16string& width, const std::u16string& proxy,
                    const std::u16string& urls);

  std::filesystem::path settings_file_;
  ModalMessage message_box_;
  std::unique_ptr<Controls> controls_;
  // What the controls would show while there are none.
  struct Kept {
    int code = 0;
    std::u16string width;
    std::u16string proxy;
    std::u16string urls;  // with LF line ends, as the URL box holds them
  } kept_;
  std::vector<QAction*> mnuSetUrlItem_;

  QSystemTrayIcon* const tray_;
  bool tray_added_ = false;
  // Made at the first fetch and kept; each fetch thread holds a share of it.
  std::shared_ptr<const NonCodeClass> codes_;
  // The number of the fetch chosen last: only its text may reach the Clipboard.
  std::uint64_t last_fetch_ = 0;
  // Last, so that it is destroyed first: its threads end before anything they use.
  FetchThreads fetches_;
};

}  // namespace pagelift
