#include "shell/qt/dialog_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/code_box.h"
#include "app/dialog_layout.h"
#include "app/form_box.h"
#include "shell/qt/toolkit.h"

namespace pagelift {
namespace {

// 9 points is 12 pixels at the 96 dots per inch the layout was drawn for. Where
// "ＭＳ ゴシック" is missing, another Japanese gothic stands in for it.
QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                    QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                    QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")});
  font.setPointSize(9);
  return font;
}

QWidget* MakeControl(const DialogControl& control, QWidget* parent) {
  const QString caption = ToQString(control.caption);
  switch (control.kind) {
    case ControlKind::kUrlBox: {
      auto* box = new QPlainTextEdit(parent);
      box->setLineWrapMode(QPlainTextEdit::NoWrap);
      box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      box->setTabChangesFocus(true);  // Tab moves on, as in every other box
      return box;
    }
    case ControlKind::kTextBox:
      return new QLineEdit(parent);
    case ControlKind::kCodeBox: {
      auto* box = new QComboBox(parent);
      for (int i = 0; i < CodeBoxEntries(); ++i) box->addItem(ToQString(CodeBoxText(i)));
      return box;
    }
    case ControlKind::kFormBox: {
      auto* box = new QComboBox(parent);
      for (int i = 0; i < FormBoxEntries(); ++i) box->addItem(ToQString(FormBoxText(i)));
      return box;
    }
    case ControlKind::kButton:
      return new QPushButton(caption, parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(caption, parent);
    case ControlKind::kLabel:
      break;
  }
  auto* label = new QLabel(caption, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

// The check boxes that do not apply to the form of entry `form` are greyed.
void GreyFormChoices(const DialogControls& controls, int form) {
  controls.chkNoFold->setEnabled(FormBoxFolds(form));
  controls.chkWithHtml->setEnabled(FormBoxMakesHtml(form));
}

template <typename Control>
Control* Named(QWidget* dialog, const char* name) {
  return dialog->findChild<Control*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

}  // namespace

DialogControls MakeDialogControls(QWidget* dialog) {
  dialog->setFont(DialogFont());
  QWidget* previous = nullptr;
  for (const DialogControl& control : kDialogControls) {
    QWidget* made = MakeControl(control, dialog);
    made->setObjectName(QString::fromLatin1(control.name));
    made->setGeometry(control.left / kTwipsPerPixel, control.top / kTwipsPerPixel,
                      control.width / kTwipsPerPixel, control.height / kTwipsPerPixel);
    if (made->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, made);
    previous = made;
  }
  const DialogControls controls{
      Named<QPlainTextEdit>(dialog, "txtUrl"), Named<QLineEdit>(dialog, "txtProxy"),
      Named<QComboBox>(dialog, "cmbCode"),     Named<QLineEdit>(dialog, "txtMaxChar"),
      Named<QCheckBox>(dialog, "chkNoFold"),   Named<QComboBox>(dialog, "cmbTextForm"),
      Named<QCheckBox>(dialog, "chkWithHtml"), Named<QPushButton>(dialog, "cmdOk"),
      Named<QPushButton>(dialog, "cmdCancel")};
  QObject::connect(controls.cmbTextForm, &QComboBox::currentIndexChanged, dialog,
                   [controls](int index) { GreyFormChoices(controls, index); });
  GreyFormChoices(controls, controls.cmbTextForm->currentIndex());
  return controls;
}

Settings SettingsIn(const DialogControls& controls) {
  // The URL box holds LF between its lines; the settings CR LF.
  QString urls = controls.txtUrl->toPlainText();
  urls.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return {
      controls.cmbCode->currentIndex(),       FoldWidth(FromQString(controls.txtMaxChar->text())),
      FromQString(controls.txtProxy->text()), FromQString(urls),
      controls.cmbTextForm->currentIndex(),   controls.chkNoFold->isChecked(),
      controls.chkWithHtml->isChecked()};
}

void ShowSettingsIn(const DialogControls& controls, const Settings& settings) {
  controls.cmbCode->setCurrentIndex(settings.code);
  controls.cmbTextForm->setCurrentIndex(settings.form);
  controls.chkNoFold->setChecked(settings.no_fold);
  controls.chkWithHtml->setChecked(settings.with_html);
  GreyFormChoices(controls, settings.form);
  controls.txtMaxChar->setText(ToQString(settings.width.Text()));
  controls.txtProxy->setText(ToQString(settings.proxy));
  controls.txtUrl->setPlainText(
      ToQString(settings.urls).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace pagelift
