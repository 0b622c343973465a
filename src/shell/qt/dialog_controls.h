#pragma once

#include "app/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace pagelift {

// The settings dialog's controls that hold or act on the settings; the labels are only
// shown.
struct DialogControls {
  QPlainTextEdit* txtUrl;
  QLineEdit* txtProxy;
  QComboBox* cmbCode;
  QLineEdit* txtMaxChar;
  QCheckBox* chkNoFold;  // greyed where the form chosen is not folded
  QComboBox* cmbTextForm;
  QCheckBox* chkWithHtml;  // greyed where the form chosen has no HTML
  QPushButton* cmdOk;
  QPushButton* cmdCancel;
};

// Makes every control of the settings dialog on `dialog`, named, placed and in tab order
// as the layout draws them, in the dialog's font, and shows nothing in them yet.
DialogControls MakeDialogControls(QWidget* dialog);

// The settings the controls show, and showing settings in them.
Settings SettingsIn(const DialogControls& controls);
void ShowSettingsIn(const DialogControls& controls, const Settings& settings);

}  // namespace pagelift
