// The tray program. It takes no command line: everything comes from its settings file.
#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/first_settings.h"
#include "app/single_instance.h"
#include "settings/settings_location.h"
#include "shell/qt/clipboard.h"
#include "shell/qt/end_signals.h"
#include "shell/qt/frm_main.h"
#include "shell/qt/single_instance.h"
#include "shell/qt/toolkit.h"

int main(int argc, char** argv) {
  // Before the application object, since it may choose the platform Qt runs on.
  const pagelift::ClipboardWay clipboard_way = pagelift::ChooseClipboardWay();
  QApplication application(argc, argv);
  pagelift::SetUpApplication();
  const std::filesystem::path settings_file = pagelift::ApplicationSettingsFile();
  // One program per settings file: a later start shows the running one's dialog instead.
  pagelift::SingleInstance instance(settings_file);
  switch (instance.Claim(pagelift::kAnswerWait)) {
    case pagelift::SingleInstance::Start::kAnswered:
      return 0;
    case pagelift::SingleInstance::Start::kSilent:
      pagelift::ShowMessageBox(pagelift::NotAnsweringMessage(settings_file));
      return 1;
    case pagelift::SingleInstance::Start::kFirst:
      break;
  }
  const std::unique_ptr<pagelift::Clipboard> clipboard =
      pagelift::MakeClipboard(clipboard_way, pagelift::QtMessageBox());
  pagelift::UseClipboard(clipboard.get());
  // The first start lists the sample pages, so that "ネット取得" has something to fetch.
  pagelift::WriteFirstSettings(settings_file,
                               pagelift::SamplesFolder(pagelift::ApplicationFolder()));
  pagelift::frmMain form(settings_file);
  const pagelift::EndSignals end_signals([&form] { form.Form_Unload(); });
  // The end of the desktop session makes Qt leave the event loop by itself.
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &form,
                   &pagelift::frmMain::DelIconTray);
  form.Form_Load();
  instance.Serve([&form] { form.mnuSetting_Click(); });
  const int status = application.exec();
  // A download cannot be called off, and waiting for it would not be ending at once. While
  // a fetch runs the Clipboard is empty, so ending around its thread loses nothing.
  if (form.FetchesRunning() > 0) std::_Exit(status);
  return status;
}
