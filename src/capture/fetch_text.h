#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "base/codes.h"
#include "capture/http_get_bytes.h"
#include "convert/non_code_class.h"
#include "convert/page_decoder.h"
#include "text/text_form.h"

namespace pagelift {

// What the Clipboard receives when nothing could be downloaded.
inline constexpr char16_t kFetchFailedText[] = u"ネット取得に失敗しました。";

// The settings a fetch reads from the dialog's controls at the moment it starts.
struct FetchSettings {
  std::u16string proxy;     // empty: the system's settings
  CodeChoice code;          // none: "自動判定"
  double fold_width = 100;  // the number of the width field's text
  TextForm form = TextForm::kAsIs;
  // The page's address, which the Markdown forms make its references absolute against;
  // FetchPageText sets it to the URL it fetches where it is empty.
  std::u16string page_url = {};
  // The clean HTML of the form (readable, main or Markdown) instead of its text: the
  // document that goes on the Clipboard beside the text.
  bool html = false;
  // The same HTML beside the text, in FetchResult::html, for the Clipboard.
  bool clipboard_html = false;
};

// What a fetch leaves for the Clipboard.
struct FetchResult {
  bool downloaded = false;  // false: `text` is the failure text
  std::u16string text;
  // Why `downloaded` is false, in one line: why nothing could be downloaded
  // ("127.0.0.1:9: Connection refused"), or why the text of the page could not be made
  // (memory ran out, say). Empty otherwise.
  std::string problem;
  // What the user should know of a text that was made: kMainGaveReadableText, or nothing.
  std::u16string notice = {};
  // With FetchSettings::clipboard_html, the form's clean HTML document; empty where there is
  // none: for the failure text, the as-is form, a page that streamed, or when memory ran out
  // for it (the text stands alone then).
  std::u16string html = {};
};

// The notice of a page too large for the main form, which was given in the readable form.
inline constexpr char16_t kMainGaveReadableText[] =
    u"ページが大きい（64 MB を超える）ため、本文のみではなく読みやすい形のテキストにしました。";
// The notice of a page too large for the Markdown forms, which was given as readable text.
inline constexpr char16_t kMarkdownGaveReadableText[] =
    u"ページが大きい（64 MB を超える）ため、Markdown ではなく読みやすい形のテキストにしました。";

// The text path over a download's result: with `count` 0 the failure text; otherwise the
// bytes decoded in the chosen (or judged) code, reduced to text and folded, `piece_bytes`
// at a time (the text is the same for any piece size). A judgement that fails decodes as
// Shift_JIS. When the text cannot be made, the failure text, and the problem. Raises
// nothing.
FetchResult PageText(std::int32_t count, const ByteArray& bytes, const FetchSettings& settings,
                     const NonCodeClass& codes, std::size_t piece_bytes = kPieceBytes);

// PageText in mode 0 for a caller that passes the text on as it is made instead of holding
// it whole (pagelift-cli writes it out): `take` receives the folded text in order, in
// parts, each in a string that it should leave empty for the next. Gives what PageText
// gives, but an empty text for a page downloaded; when the text cannot be made, the parts
// taken so far are only the text's beginning. `take` raises nothing; nor does this.
// `read(n)`, when given, hears after each piece that the first n bytes are read for good:
// their memory may go (pagelift-cli lets its file's pages go).
FetchResult PageTextInParts(std::span<const std::uint8_t> bytes, const FetchSettings& settings,
                            const std::function<void(std::u16string&)>& take,
                            std::size_t piece_bytes = kPieceBytes,
                            const std::function<void(std::size_t)>& read = {});

// Downloads `url` and runs the text path over it. Touches no window or Clipboard.
FetchResult FetchPageText(const std::u16string& url, const FetchSettings& settings,
                          const NonCodeClass& codes, const HttpLimits& limits = {});

}  // namespace pagelift
