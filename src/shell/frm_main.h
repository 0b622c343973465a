#pragma once

#include <QWidget>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/toolkit.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace pagelift {

// The settings dialog, the program's one window. Its controls are the live settings:
// the fetch command and the folding read the proxy, the code choice and the fold width
// from them, not from the file. It also owns the "ネット取得" submenu, whose entries are
// the URLs of the settings.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  // `settings_file` is read by LoadSetting and written by OK; `message_box` tells the
  // user when OK cannot write it.
  explicit frmMain(std::filesystem::path settings_file,
                   MessageBoxCallback message_box = QtMessageBox(), QWidget* parent = nullptr);

  QPlainTextEdit* const txtUrl;
  QLineEdit* const txtProxy;
  QComboBox* const cmbCode;
  QLineEdit* const txtMaxChar;
  QPushButton* const cmdOk;
  QPushButton* const cmdCancel;
  QLabel* const Label1;
  QLabel* const Label2;
  QLabel* const Label3;
  QLabel* const Label4;

  // The submenu "ネット取得" and its entries, entry i holding the URL of key
  // "URL<i + 1>". Entry 0 always exists; an entry for an empty line is hidden.
  QMenu* const mnuSetUrl;
  const std::vector<QAction*>& mnuSetUrlItem() const { return mnuSetUrlItem_; }
  // The URL of entry `index`, exactly as stored (the entry's text doubles each "&").
  std::u16string UrlItemCaption(int index) const;

  // The URL box's text, CR LF between its lines.
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

 signals:
  // A URL entry was chosen; `index` is its place in mnuSetUrlItem().
  void mnuSetUrlItem_Click(int index);

 private:
  QAction* AddUrlItem();
  void SetUrlItemCaption(int index, std::u16string_view url);
  // A fold width whose number is not greater than 0 becomes "100".
  void MendWidth();

  std::filesystem::path settings_file_;
  MessageBoxCallback message_box_;
  std::vector<QAction*> mnuSetUrlItem_;
};

}  // namespace pagelift
