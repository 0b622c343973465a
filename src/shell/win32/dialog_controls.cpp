#include "shell/win32/dialog_controls.h"

#include <array>
#include <string_view>

#include "app/code_box.h"
#include "app/dialog_layout.h"
#include "app/form_box.h"
#include "shell/win32/resources.h"
#include "shell/win32/windows_text.h"

namespace pagelift {

namespace {

constexpr std::array<int, std::size(kDialogControls)> kControlIds = {
    IDC_TXTURL,      IDC_TXTPROXY,    IDC_CMBCODE, IDC_TXTMAXCHAR, IDC_CHKNOFOLD,
    IDC_CMBTEXTFORM, IDC_CHKWITHHTML, IDOK,        IDCANCEL,       IDC_LABEL1,
    IDC_LABEL2,      IDC_LABEL3,      IDC_LABEL4,  IDC_LABEL5,
};

constexpr bool ControlsInLayoutOrder() {
  constexpr std::string_view names[] = {
      "txtUrl", "txtProxy",  "cmbCode", "txtMaxChar", "chkNoFold", "cmbTextForm", "chkWithHtml",
      "cmdOk",  "cmdCancel", "Label1",  "Label2",     "Label3",    "Label4",      "Label5"};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    if (names[i] != kDialogControls[i].name) return false;
  }
  return std::size(names) == std::size(kDialogControls);
}
static_assert(ControlsInLayoutOrder(), "the resource's controls follow the layout's rows");

// Gives a list box its entries, once.
void FillBox(HWND box, int entries, std::u16string_view (*text)(int)) {
  if (SendMessageW(box, CB_GETCOUNT, 0, 0) != 0) return;
  for (int i = 0; i < entries; ++i) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text(i)).c_str()));
  }
}

int Pixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

}  // namespace

int DialogControlId(std::size_t index) {
  return kControlIds.at(index);
}

HFONT MakeDialogFont(UINT dpi) {
  return CreateFontW(-MulDiv(9, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
}

void LayOutDialog(HWND dialog, HFONT font) {
  const UINT dpi = GetDpiForWindow(dialog);
  FillBox(GetDlgItem(dialog, IDC_CMBCODE), CodeBoxEntries(), CodeBoxText);
  FillBox(GetDlgItem(dialog, IDC_CMBTEXTFORM), FormBoxEntries(), FormBoxText);
  for (std::size_t i = 0; i < std::size(kDialogControls); ++i) {
    const DialogControl& control = kDialogControls[i];
    HWND window = GetDlgItem(dialog, kControlIds[i]);
    // A combo box's height is that of its open list.
    const bool list =
        control.kind == ControlKind::kCodeBox || control.kind == ControlKind::kFormBox;
    const int height = list ? control.height * 8 : control.height;
    MoveWindow(window, Pixels(control.left, dpi), Pixels(control.top, dpi),
               Pixels(control.width, dpi), Pixels(height, dpi), FALSE);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  RECT frame{0, 0, Pixels(kDialogWidthTwips, dpi), Pixels(kDialogHeightTwips, dpi)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
  const auto extended = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&frame, style, FALSE, extended, dpi);
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog, nullptr, TRUE);
}

void GreyFormChoices(HWND dialog) {
  const auto index = SendDlgItemMessageW(dialog, IDC_CMBTEXTFORM, CB_GETCURSEL, 0, 0);
  const int form = index == CB_ERR ? 0 : static_cast<int>(index);
  EnableWindow(GetDlgItem(dialog, IDC_CHKNOFOLD), FormBoxFolds(form));
  EnableWindow(GetDlgItem(dialog, IDC_CHKWITHHTML), FormBoxMakesHtml(form));
}

Settings SettingsIn(HWND dialog) {
  const auto entry = [dialog](int box) {
    const auto index = SendDlgItemMessageW(dialog, box, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
  };
  return {entry(IDC_CMBCODE),
          FoldWidth(WindowText(GetDlgItem(dialog, IDC_TXTMAXCHAR))),
          WindowText(GetDlgItem(dialog, IDC_TXTPROXY)),
          WindowText(GetDlgItem(dialog, IDC_TXTURL)),
          entry(IDC_CMBTEXTFORM),
          IsDlgButtonChecked(dialog, IDC_CHKNOFOLD) == BST_CHECKED,
          IsDlgButtonChecked(dialog, IDC_CHKWITHHTML) == BST_CHECKED};
}

void ShowSettingsIn(HWND dialog, const Settings& settings) {
  SendDlgItemMessageW(dialog, IDC_CMBCODE, CB_SETCURSEL, static_cast<WPARAM>(settings.code), 0);
  SendDlgItemMessageW(dialog, IDC_CMBTEXTFORM, CB_SETCURSEL, static_cast<WPARAM>(settings.form), 0);
  CheckDlgButton(dialog, IDC_CHKNOFOLD, settings.no_fold ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_CHKWITHHTML, settings.with_html ? BST_CHECKED : BST_UNCHECKED);
  GreyFormChoices(dialog);
  SetDlgItemTextW(dialog, IDC_TXTMAXCHAR, Wide(settings.width.Text()).c_str());
  SetDlgItemTextW(dialog, IDC_TXTPROXY, Wide(settings.proxy).c_str());
  // The edit box holds CR LF between its lines, as the settings do.
  SetDlgItemTextW(dialog, IDC_TXTURL, Wide(settings.urls).c_str());
}

}  // namespace pagelift
