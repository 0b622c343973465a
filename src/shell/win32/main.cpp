// Pagelift.exe, the tray program on Windows. It takes no command line: everything comes
// from its settings file.
#include <windows.h>

#include "app/first_settings.h"
#include "app/single_instance.h"
#include "settings/settings_location.h"
#include "shell/win32/application.h"
#include "shell/win32/frm_main.h"
#include "shell/win32/single_instance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::filesystem::path settings_file = pagelift::ApplicationSettingsFile();
  // One program per settings file: a later start shows the running one's dialog instead.
  pagelift::SingleInstance single(settings_file);
  switch (single.Claim(pagelift::kAnswerWait)) {
    case pagelift::SingleInstance::Start::kAnswered:
      return 0;
    case pagelift::SingleInstance::Start::kSilent:
      pagelift::ShowMessageBox(nullptr, pagelift::NotAnsweringMessage(settings_file));
      return 1;
    case pagelift::SingleInstance::Start::kFirst:
      break;
  }
  // The first start lists the sample pages, so that "ネット取得" has something to fetch.
  pagelift::WriteFirstSettings(settings_file,
                               pagelift::SamplesFolder(pagelift::ProgramFile().parent_path()));
  pagelift::frmMain form(instance, settings_file);
  if (form.Window() == nullptr) return 1;  // no desktop to show a window on
  form.Form_Load();
  single.Serve(form.Window(), [&form] { form.mnuSetting_Click(); });
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(form.Window(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // A download cannot be called off, and waiting for it would not be ending at once. While
  // a fetch runs the Clipboard is empty, so ending around its thread loses nothing.
  if (form.FetchesRunning() > 0) ExitProcess(0);
  return 0;
}
