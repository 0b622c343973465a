#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/clipboard_url.h"
#include "base/modal_message.h"

// What the program needs of the window toolkit, in one place. Every function here runs
// on the user-interface thread, after the QApplication has been made.

namespace pagelift {

class Clipboard;

// Names the application after its title and keeps it running while no window is shown
// (the settings dialog is hidden most of the time). Call once, after making the
// QApplication.
void SetUpApplication();

// "Pagelift".
std::u16string ApplicationTitle();
// The folder that holds the program file.
std::filesystem::path ApplicationFolder();
// The program file's name without its extension: "pagelift" for both "pagelift" and
// "pagelift.exe".
std::u16string ApplicationFileName();
// This program's settings file (see SettingsFilePath in settings_location.h).
std::filesystem::path ApplicationSettingsFile();

// A modal box with the error icon, one OK button and the title as its caption; returns
// when the user closes it.
void ShowMessageBox(const std::u16string& text);
// ShowMessageBox as the callback the subsystems below the shell receive.
ModalMessage QtMessageBox();

// From now on ClearClipboard and SetClipboardText go to `clipboard`, or to the toolkit's
// own Clipboard when it is null. It must outlive their last call.
void UseClipboard(Clipboard* clipboard);
void ClearClipboard();
// The Clipboard then holds exactly `text`, as plain text, and beside it the HTML document
// `html` where that is not empty.
void SetClipboardText(const std::u16string& text, const std::u16string& html = {});
// The start of the Clipboard's text, at most kClipboardUrlLimit units, however much it
// holds; nothing when it holds no text or cannot be read now.
std::optional<ClipboardStart> ReadClipboardStart();

// Handles the window events already queued, then returns.
void ProcessPendingMessages();

// Makes the event loop end once the running handler returns; main then ends the
// program.
void EndProgram();

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::u16string FromQString(const QString& text) {
  return text.toStdU16String();
}

}  // namespace pagelift
