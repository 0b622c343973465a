#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pagelift {

// The most of the Clipboard's text that is read for the "ネット取得" submenu's first entry:
// a longer text is no URL, and a Clipboard of 50 MB must not hold up the menu.
inline constexpr std::size_t kClipboardUrlLimit = 8192;

// The start of the Clipboard's text, as a shell reads it: at most kClipboardUrlLimit units,
// and whether that is all of it.
struct ClipboardStart {
  std::u16string text;
  bool whole = true;
};

// The one http or https URL the Clipboard's text holds, with the blanks and one line end
// around it trimmed; nothing for a text that is not all there, holds no such URL, holds it
// among other words or lines, or names another scheme (file: included: a page on this
// computer is chosen in the settings, not picked up from the Clipboard).
std::optional<std::u16string> ClipboardUrl(const ClipboardStart& start);

// The first entry's caption: "クリップボードのURL: " and the URL, cut to a length a menu
// shows; or, for no URL, kNoClipboardUrl, shown greyed.
inline constexpr char16_t kNoClipboardUrl[] = u"クリップボードにURLがありません";
std::u16string ClipboardEntryCaption(const std::optional<std::u16string>& url);

}  // namespace pagelift
