#include "shell/qt/toolkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace pagelift {
namespace {

TEST(Toolkit, ClipboardHoldsExactlyTheTextGiven) {
  const std::u16string text = u"ネット取得に失敗しました。\r\n二行目\r\n";
  SetClipboardText(text);
  EXPECT_EQ(FromQString(QGuiApplication::clipboard()->text()), text);
  ClearClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST(Toolkit, MessageBoxIsAnErrorWithOneOkButtonUnderTheTitle) {
  struct {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
  } seen;
  // The box is modal: close it from the event loop it runs.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->isModal()};
    box->button(QMessageBox::Ok)->click();
  });
  closer.start(10);
  QtMessageBox()(u"EUCはサポートされていません");
  EXPECT_EQ(seen.caption, QStringLiteral("Pagelift"));
  EXPECT_EQ(seen.text, QStringLiteral("EUCはサポートされていません"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_TRUE(seen.modal);
}

}  // namespace
}  // namespace pagelift
