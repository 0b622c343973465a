#pragma once

#include <string>
#include <string_view>

namespace pagelift {

// The HTML document `document` (a whole document, as FormHtml writes it) in Windows' "HTML
// Format" for the Clipboard: a header of `Version`, `StartHTML`, `EndHTML`,
// `StartFragment`, `EndFragment` (byte offsets into these very bytes) and `SourceURL`
// (`url`), then the document as UTF-8 with the marks of the fragment around the inside of
// its body, which is what was copied. Nothing of `url` can end a header line.
std::string WindowsHtmlFormat(std::u16string_view document, std::u16string_view url);

}  // namespace pagelift
