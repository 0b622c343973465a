#include "shell/win32/application.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <optional>

#include "app/tray_texts.h"
#include "settings/settings_location.h"
#include "shell/win32/windows_text.h"

namespace pagelift {

namespace {

std::optional<std::filesystem::path> KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::optional<std::filesystem::path> folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// Whether `path` lies in `folder`, comparing as Windows does: letter case aside.
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  std::wstring inner = path.lexically_normal().wstring();
  std::wstring outer = folder.lexically_normal().wstring();
  if (!outer.empty() && outer.back() != L'\\') outer += L'\\';
  if (inner.size() < outer.size()) return false;
  inner.resize(outer.size());
  return CompareStringOrdinal(inner.c_str(), static_cast<int>(inner.size()), outer.c_str(),
                              static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::filesystem::path ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::filesystem::path ApplicationSettingsFile() {
  const std::filesystem::path program = ProgramFile();
  const std::filesystem::path folder = program.parent_path();
  const std::filesystem::path config =
      KnownFolder(FOLDERID_RoamingAppData).value_or(folder) / std::u16string(kProgramTitle);
  const std::u16string name = program.stem().u16string();
  for (const KNOWNFOLDERID* programs : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
    const std::optional<std::filesystem::path> installed = KnownFolder(*programs);
    if (installed && IsInside(folder, *installed)) return config / (name + u".ini");
  }
  return SettingsFilePath(folder, name, config);
}

void ShowMessageBox(HWND owner, const std::u16string& text) {
  MessageBoxW(owner, Wide(text).c_str(), Wide(kProgramTitle).c_str(), MB_ICONERROR | MB_OK);
}

}  // namespace pagelift
