#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagelift::wl_clipboard {

// What the Clipboard holds: the text, and the HTML document when there is one, each as the
// caller gave it, byte for byte.
struct ClipboardContents {
  std::string text;
  std::optional<std::string> html;
};

// The MIME types offered for `contents`: the text's names that toolkits and X11 programs
// (through XWayland) ask for, then the HTML's.
std::vector<std::string_view> OfferedTypes(const ClipboardContents& contents);

// The bytes a reader of `mime` gets; nothing for a type that is not offered.
std::optional<std::string_view> ContentFor(const ClipboardContents& contents,
                                           std::string_view mime);

// Appends what `fd` holds from where it stands to its end to `bytes`. Empty, or why it
// could not be read.
std::string ReadToEnd(int fd, std::string& bytes);

}  // namespace pagelift::wl_clipboard
