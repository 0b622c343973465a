#pragma once

#include <QString>
#include <string_view>

namespace pagelift {

// The text to give a QAction of the tray menu so that it shows exactly `url`.
//
// Qt draws an XEmbed tray's menu itself, reading "&" as the mark of the entry's key. For a
// StatusNotifierItem it exports the menu over dbusmenu instead, turning the text's first
// "&" (unless it is the last character) into "_" and leaving the rest as it is; the host
// then reads "__" as one "_", drops any other "_" and takes the first of those for the
// mark of the next letter. So for dbusmenu every "_" of the URL is doubled, and the "&"
// that Qt turns is one put in place of the first "_" of such a pair when the URL has one
// before its first "&"; otherwise the URL's first "&" is doubled and that "&" becomes the
// entry's key (shown as typed, underlined by some hosts).
QString MenuText(std::u16string_view url, bool dbusmenu);

}  // namespace pagelift
