#pragma once

#include <windows.h>

#include "app/settings.h"

namespace pagelift {

// The control of the settings dialog that stands in row `index` of the layout.
int DialogControlId(std::size_t index);

// Fills the code box and gives every control its place and font as the layout draws them,
// at the window's dots per inch; also sizes the dialog. Call again when they change.
void LayOutDialog(HWND dialog, HFONT font);

// The dialog font, "ＭＳ ゴシック" 9 point (or what the system has in its place), at `dpi`.
HFONT MakeDialogFont(UINT dpi);

// The settings the controls show, and showing settings in them.
Settings SettingsIn(HWND dialog);
void ShowSettingsIn(HWND dialog, const Settings& settings);
// Greys "折り返さない" where the form chosen is not folded, and "書式（HTML）も付ける" where
// it has no HTML.
void GreyFormChoices(HWND dialog);

}  // namespace pagelift
