#pragma once

#include <string_view>

// The settings dialog: its size and its controls in tab order, in twips (1/1440 inch, 15
// to a pixel at 96 dots per inch). Every control uses the font "ＭＳ ゴシック", 9 point. It
// is the dialog as it was first drawn, grown by a row for the text form and a row for the
// HTML's check box and the buttons, with a check box beside the width.

namespace pagelift {

inline constexpr int kDialogWidthTwips = 6240;
inline constexpr int kDialogHeightTwips = 3165;
inline constexpr int kTwipsPerPixel = 15;

enum class ControlKind {
  kUrlBox,   // several lines, with both scroll bars
  kTextBox,  // one line
  kCodeBox,  // a list to choose from: the entries of code_box.h
  kFormBox,  // a list to choose from: the entries of form_box.h
  kButton,
  kLabel,
  kCheckBox,  // its caption beside it
};

struct DialogControl {
  const char* name;
  ControlKind kind;
  std::u16string_view caption;  // a button's or label's text
  int left, top, width, height;
};

inline constexpr DialogControl kDialogControls[] = {
    {"txtUrl", ControlKind::kUrlBox, u"", 90, 315, 6045, 960},
    {"txtProxy", ControlKind::kTextBox, u"", 90, 1575, 6045, 315},
    {"cmbCode", ControlKind::kCodeBox, u"", 1080, 1980, 1140, 300},
    {"txtMaxChar", ControlKind::kTextBox, u"", 4005, 1980, 510, 315},
    {"chkNoFold", ControlKind::kCheckBox, u"折り返さない", 4635, 2010, 1500, 270},
    // A row of its own for the text form, and under it what goes beside the text, which
    // the buttons end.
    {"cmbTextForm", ControlKind::kFormBox, u"", 1080, 2385, 2340, 300},
    {"chkWithHtml", ControlKind::kCheckBox, u"書式（HTML）も付ける", 1080, 2775, 2700, 270},
    {"cmdOk", ControlKind::kButton, u"OK", 4635, 2745, 705, 330},
    {"cmdCancel", ControlKind::kButton, u"Cancel", 5445, 2745, 705, 330},
    {"Label1", ControlKind::kLabel,
     u"URL(ネットしたいURLを設定してください。１行に１URLが指定出来ます。)", 90, 90, 6045, 195},
    {"Label2", ControlKind::kLabel, u"Proxy(Proxyサーバーがある場合に指定してください。)", 90, 1350,
     6045, 195},
    {"Label3", ControlKind::kLabel, u"１行のＭＡＸ文字数", 2295, 2025, 1680, 240},
    {"Label4", ControlKind::kLabel, u"文字コード", 90, 2025, 960, 195},
    {"Label5", ControlKind::kLabel, u"テキスト", 90, 2430, 960, 195},
};

}  // namespace pagelift
