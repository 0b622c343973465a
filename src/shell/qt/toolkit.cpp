#include "shell/qt/toolkit.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>

#include "app/tray_texts.h"
#include "settings/settings_location.h"
#include "shell/qt/clipboard.h"

namespace pagelift {
namespace {

Clipboard* clipboard_in_use = nullptr;
// The start of the text this program last put on the toolkit's Clipboard: while it owns
// the Clipboard, the toolkit answers for it on this thread, which must not wait for itself.
ClipboardStart own_start;

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
  own_start = {};
}

void SetClipboardText(const std::u16string& text, const std::u16string& html) {
  if (clipboard_in_use) {
    clipboard_in_use->SetText(text, html);
    return;
  }
  // On X11 Qt offers the text as UTF8_STRING, text/plain and the rest, and the HTML as
  // text/html, from one owner of the selection; the name with the charset, which programs
  // that paste ask for first, it offers only when told.
  auto* data = new QMimeData;
  const QString qt_text = ToQString(text);
  data->setText(qt_text);
  data->setData(QStringLiteral("text/plain;charset=utf-8"), qt_text.toUtf8());
  if (!html.empty()) data->setHtml(ToQString(html));
  QGuiApplication::clipboard()->setMimeData(data);
  own_start = {text.substr(0, kClipboardUrlLimit), text.size() <= kClipboardUrlLimit};
}

std::optional<ClipboardStart> ReadClipboardStart() {
  if (clipboard_in_use) return clipboard_in_use->ReadStart(kClipboardUrlLimit);
  if (QGuiApplication::clipboard()->ownsClipboard()) return own_start;
  return ReadToolkitClipboardStart(kClipboardUrlLimit);
}

void ProcessPendingMessages() {
  QCoreApplication::processEvents();
}

void EndProgram() {
  QCoreApplication::exit(0);
}

}  // namespace pagelift
