// Shows the settings dialog as "設定..." does, for a screenshot: loads the settings file
// given as the argument, shows the window, prints "shown <window id>" once it is on
// the screen, and runs until it is ended (at most a minute).
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "shell/qt/frm_main.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pagelift::SetUpApplication();
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SETTINGS_FILE\n", argv[0]);
    return 2;
  }
  pagelift::frmMain form(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString());
  form.LoadSetting();
  form.mnuSetting_Click();
  form.move(20, 20);
  QTimer::singleShot(500, [&form] {
    std::printf("shown 0x%llx\n", static_cast<unsigned long long>(form.winId()));
    std::fflush(stdout);
  });
  QTimer::singleShot(60000, &application, &QApplication::quit);
  return application.exec();
}
