#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace pagelift {

// The running program's file, "...\Pagelift.exe".
std::filesystem::path ProgramFile();

// Where this program keeps its settings: "Pagelift.ini" beside "Pagelift.exe" when that
// folder can be written or already holds it, the portable use; a program installed under
// Program Files, or one whose folder cannot be written, keeps them in
// "%APPDATA%\Pagelift\Pagelift.ini", the user's own.
std::filesystem::path ApplicationSettingsFile();

// A modal box with the error icon, one OK button and the title as its caption.
void ShowMessageBox(HWND owner, const std::u16string& text);

}  // namespace pagelift
