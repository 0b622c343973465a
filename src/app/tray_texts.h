#pragma once

// The words of the tray program, the same whatever shell shows them.

namespace pagelift {

// The program's title: the tray icon's tooltip and the caption of its message boxes.
inline constexpr char16_t kProgramTitle[] = u"Pagelift";
inline constexpr char16_t kDialogCaption[] = u"Pageliftの設定";

// The tray icon's popup menu ("メニュー", never shown as a title), its entries in this
// order; "ネット取得" is the submenu of the URLs.
inline constexpr char16_t kMenuCaption[] = u"メニュー";
inline constexpr char16_t kSettingEntry[] = u"設定...";
inline constexpr char16_t kFetchEntry[] = u"ネット取得";
inline constexpr char16_t kEndEntry[] = u"終了";

}  // namespace pagelift
