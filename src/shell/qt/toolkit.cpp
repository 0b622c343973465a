#include "shell/qt/toolkit.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "app/tray_texts.h"
#include "settings/settings_location.h"
#include "shell/qt/clipboard.h"

namespace pagelift {
namespace {

Clipboard* clipboard_in_use = nullptr;

}  // namespace

void SetUpApplication() {
  QApplication::setApplicationName(ToQString(ApplicationTitle()));
  QApplication::setQuitOnLastWindowClosed(false);
}

std::u16string ApplicationTitle() {
  return kProgramTitle;
}

std::filesystem::path ApplicationFolder() {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

std::u16string ApplicationFileName() {
  return FromQString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

std::filesystem::path ApplicationSettingsFile() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return SettingsFilePath(ApplicationFolder(), ApplicationFileName(),
                          QFile::encodeName(config).toStdString());
}

void ShowMessageBox(const std::u16string& text) {
  QMessageBox box(QMessageBox::Critical, ToQString(ApplicationTitle()), ToQString(text),
                  QMessageBox::Ok);
  box.exec();
}

ModalMessage QtMessageBox() {
  return ShowMessageBox;
}

void UseClipboard(Clipboard* clipboard) {
  clipboard_in_use = clipboard;
}

void ClearClipboard() {
  if (clipboard_in_use) {
    clipboard_in_use->Clear();
    return;
  }
  QGuiApplication::clipboard()->clear();
}

void SetClipboardText(const std::u16string& text) {
  if (clipboard_in_use) {
    clipboard_in_use->SetText(text);
    return;
  }
  QGuiApplication::clipboard()->setText(ToQString(text));
}

void ProcessPendingMessages() {
  QCoreApplication::processEvents();
}

void EndProgram() {
  QCoreApplication::exit(0);
}

}  // namespace pagelift
